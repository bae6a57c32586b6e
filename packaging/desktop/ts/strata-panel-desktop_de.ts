<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>DesktopEntry</name>
    <message>
        <source>Strata Settings Panel</source>
        <comment>Name</comment>
        <translation>Strata Einstellungen</translation>
    </message>
    <message>
        <source>Mixer Settings</source>
        <comment>GenericName</comment>
        <translation>Mischpult-Einstellungen</translation>
    </message>
    <message>
        <source>Identify a KORVEN Strata USB mixer and watch its level meters</source>
        <comment>Comment</comment>
        <translation>Ein KORVEN Strata USB-Mischpult erkennen und seine Pegelanzeigen verfolgen</translation>
    </message>
    <message>
        <source>The settings panel of the KORVEN Strata 96, 10, 14 and 20 USB mixers. It recognises the connected unit and shows its model, firmware version, sample rate and serial number.</source>
        <comment>Description1</comment>
        <translation>Das Einstellungsprogramm der USB-Mischpulte KORVEN Strata 96, 10, 14 und 20. Es erkennt das angeschlossene Gerät und zeigt Modell, Firmware-Version, Abtastrate und Seriennummer.</translation>
    </message>
    <message>
        <source>For the Strata 96 it shows live level meters of all channels with a selectable meter source, peak hold and over indicators. A command-line tool, stratactl, reads and sets the same values from scripts.</source>
        <comment>Description2</comment>
        <translation>Für das Strata 96 zeigt es Live-Pegelanzeigen aller Kanäle mit wählbarer Messquelle, Spitzenwerthaltung und Übersteuerungsanzeigen. Das Kommandozeilenwerkzeug stratactl liest und setzt dieselben Werte aus Skripten.</translation>
    </message>
</context>
</TS>
