<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>DesktopEntry</name>
    <message>
        <source>Strata Settings Panel</source>
        <comment>Name</comment>
        <translation>Panel de ajustes de Strata</translation>
    </message>
    <message>
        <source>Mixer Settings</source>
        <comment>GenericName</comment>
        <translation>Ajustes del mezclador</translation>
    </message>
    <message>
        <source>Identify a KORVEN Strata USB mixer and watch its level meters</source>
        <comment>Comment</comment>
        <translation>Identifique un mezclador USB KORVEN Strata y vea sus medidores de nivel</translation>
    </message>
    <message>
        <source>The settings panel of the KORVEN Strata 96, 10, 14 and 20 USB mixers. It recognises the connected unit and shows its model, firmware version, sample rate and serial number.</source>
        <comment>Description1</comment>
        <translation>El panel de ajustes de los mezcladores USB KORVEN Strata 96, 10, 14 y 20. Reconoce la unidad conectada y muestra su modelo, versión de firmware, frecuencia de muestreo y número de serie.</translation>
    </message>
    <message>
        <source>For the Strata 96 it shows live level meters of all channels with a selectable meter source, peak hold and over indicators. A command-line tool, stratactl, reads and sets the same values from scripts.</source>
        <comment>Description2</comment>
        <translation>Para el Strata 96 muestra medidores de nivel en directo de todos los canales con fuente de medición seleccionable, retención de picos e indicadores de saturación. Una herramienta de línea de órdenes, stratactl, lee y ajusta los mismos valores desde scripts.</translation>
    </message>
</context>
</TS>
