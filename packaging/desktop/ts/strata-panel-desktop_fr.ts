<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>DesktopEntry</name>
    <message>
        <source>Strata Settings Panel</source>
        <comment>Name</comment>
        <translation>Panneau de réglages Strata</translation>
    </message>
    <message>
        <source>Mixer Settings</source>
        <comment>GenericName</comment>
        <translation>Réglages de la console</translation>
    </message>
    <message>
        <source>Identify a KORVEN Strata USB mixer and watch its level meters</source>
        <comment>Comment</comment>
        <translation>Identifier une console de mixage USB KORVEN Strata et suivre ses vumètres</translation>
    </message>
    <message>
        <source>The settings panel of the KORVEN Strata 96, 10, 14 and 20 USB mixers. It recognises the connected unit and shows its model, firmware version, sample rate and serial number.</source>
        <comment>Description1</comment>
        <translation>Le panneau de réglages des consoles de mixage USB KORVEN Strata 96, 10, 14 et 20. Il reconnaît l&apos;appareil connecté et affiche son modèle, sa version de firmware, sa fréquence d&apos;échantillonnage et son numéro de série.</translation>
    </message>
    <message>
        <source>For the Strata 96 it shows live level meters of all channels with a selectable meter source, peak hold and over indicators. A command-line tool, stratactl, reads and sets the same values from scripts.</source>
        <comment>Description2</comment>
        <translation>Pour la Strata 96, il affiche en direct les vumètres de toutes les voies, avec source de mesure au choix, maintien des crêtes et témoins de saturation. Un outil en ligne de commande, stratactl, lit et règle les mêmes valeurs depuis des scripts.</translation>
    </message>
</context>
</TS>
