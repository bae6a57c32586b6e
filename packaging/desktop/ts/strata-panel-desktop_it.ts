<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it">
<context>
    <name>DesktopEntry</name>
    <message>
        <source>Strata Settings Panel</source>
        <comment>Name</comment>
        <translation>Pannello impostazioni Strata</translation>
    </message>
    <message>
        <source>Mixer Settings</source>
        <comment>GenericName</comment>
        <translation>Impostazioni del mixer</translation>
    </message>
    <message>
        <source>Identify a KORVEN Strata USB mixer and watch its level meters</source>
        <comment>Comment</comment>
        <translation>Riconoscere un mixer USB KORVEN Strata e seguirne i misuratori di livello</translation>
    </message>
    <message>
        <source>The settings panel of the KORVEN Strata 96, 10, 14 and 20 USB mixers. It recognises the connected unit and shows its model, firmware version, sample rate and serial number.</source>
        <comment>Description1</comment>
        <translation>Il pannello impostazioni dei mixer USB KORVEN Strata 96, 10, 14 e 20. Riconosce l&apos;unità collegata e ne mostra modello, versione del firmware, frequenza di campionamento e numero di serie.</translation>
    </message>
    <message>
        <source>For the Strata 96 it shows live level meters of all channels with a selectable meter source, peak hold and over indicators. A command-line tool, stratactl, reads and sets the same values from scripts.</source>
        <comment>Description2</comment>
        <translation>Per lo Strata 96 mostra i misuratori di livello in tempo reale di tutti i canali, con sorgente di misura selezionabile, mantenimento dei picchi e indicatori di sovraccarico. Uno strumento a riga di comando, stratactl, legge e imposta gli stessi valori dagli script.</translation>
    </message>
</context>
</TS>
