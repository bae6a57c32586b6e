<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>AboutDialog</name>
    <message>
        <source>KORVEN Strata Mixer</source>
        <translation>KORVEN Strata Mixer</translation>
    </message>
    <message>
        <source>USB Audio Interface&lt;p&gt;KORVEN StrataMixer</source>
        <translation>Interfaz de audio USB&lt;p&gt;KORVEN StrataMixer</translation>
    </message>
    <message>
        <source>Software Ver. : V</source>
        <translation>Versión del software: V</translation>
    </message>
    <message>
        <source>Copyright (c) 2026 The Strata panel authors. Free software under the MIT License.</source>
        <translation>Copyright (c) 2026 Los autores del panel Strata. Software libre bajo la licencia MIT.</translation>
    </message>
</context>
<context>
    <name>KeyboardAccess</name>
    <message>
        <source>Meters page</source>
        <translation>Página de medidores</translation>
    </message>
    <message>
        <source>Information page</source>
        <translation>Página de información</translation>
    </message>
    <message>
        <source>Peak hold off</source>
        <translation>Retención de picos desactivada</translation>
    </message>
    <message>
        <source>Peak hold 1 second</source>
        <translation>Retención de picos 1 segundo</translation>
    </message>
    <message>
        <source>Peak hold 3 seconds</source>
        <translation>Retención de picos 3 segundos</translation>
    </message>
    <message>
        <source>Peak hold infinite</source>
        <translation>Retención de picos infinita</translation>
    </message>
    <message>
        <source>Clear all held peaks</source>
        <translation>Borrar todos los picos retenidos</translation>
    </message>
    <message>
        <source>Meter source: MTR SOURCE</source>
        <translation>Fuente de medición: FUENTE MTR</translation>
    </message>
    <message>
        <source>Meter source: MIC / LINE</source>
        <translation>Fuente de medición: MIC / LÍNEA</translation>
    </message>
    <message>
        <source>Meter source: USB RETURN</source>
        <translation>Fuente de medición: RETORNO USB</translation>
    </message>
    <message>
        <source>Meter source: MTR RETURN</source>
        <translation>Fuente de medición: RETORNO MTR</translation>
    </message>
</context>
<context>
    <name>LicenseDialog</name>
    <message>
        <source>License Information</source>
        <translation>Información de licencia</translation>
    </message>
    <message>
        <source>File Missing!</source>
        <translation>¡Falta el archivo!</translation>
    </message>
    <message>
        <source>There is a possibility that the file has been moved or deleted.</source>
        <translation>Es posible que el archivo se haya movido o eliminado.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>KORVEN StrataMixer Settings Panel</source>
        <translation>Panel de ajustes de KORVEN StrataMixer</translation>
    </message>
    <message>
        <source>INFORMATION</source>
        <translation>INFORMACIÓN</translation>
    </message>
    <message>
        <source>METERS</source>
        <translation>MEDIDORES</translation>
    </message>
    <message>
        <source>Software version    :</source>
        <translation>Versión software:</translation>
    </message>
    <message>
        <source>Firmware version   :</source>
        <translation>Versión firmware:</translation>
    </message>
    <message>
        <source>No Device</source>
        <translation>Ningún dispositivo</translation>
    </message>
    <message>
        <source>Sample rate          :</source>
        <translation>Frec. de muestreo:</translation>
    </message>
    <message>
        <source>Buffer size              :</source>
        <translation>Tamaño del búfer:</translation>
    </message>
    <message>
        <source>128 samples</source>
        <translation>128 muestras</translation>
    </message>
    <message>
        <source>Serial number :</source>
        <translation>N.º de serie:</translation>
    </message>
    <message>
        <source>MAIN</source>
        <translation>PRINC.</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>APAG.</translation>
    </message>
    <message>
        <source>1 SEC</source>
        <translation>1 S</translation>
    </message>
    <message>
        <source>3 SEC</source>
        <translation>3 S</translation>
    </message>
    <message>
        <source>CLEAR</source>
        <translation>RESET</translation>
    </message>
    <message>
        <source>PEAK HOLD</source>
        <translation>RETENCIÓN</translation>
    </message>
    <message>
        <source>METER SELECT</source>
        <translation>SEL. MEDIDOR</translation>
    </message>
    <message>
        <source>MTR SOURCE</source>
        <translation>FUENTE MTR</translation>
    </message>
    <message>
        <source>MIC / LINE</source>
        <translation>MIC / LÍNEA</translation>
    </message>
    <message>
        <source>USB RETURN</source>
        <translation>RETORNO USB</translation>
    </message>
    <message>
        <source>MTR RETURN</source>
        <translation>RETORNO MTR</translation>
    </message>
    <message>
        <source>Device is not connected</source>
        <translation>El dispositivo no está conectado</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>&amp;Ventana</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Ay&amp;uda</translation>
    </message>
    <message>
        <source>- KORVEN &amp;Website</source>
        <translation>- Sitio &amp;web de KORVEN</translation>
    </message>
    <message>
        <source>- &amp;About...</source>
        <translation>- &amp;Acerca de...</translation>
    </message>
    <message>
        <source>&amp;Default</source>
        <translation>Tamaño &amp;predeterminado</translation>
    </message>
    <message>
        <source>Ma&amp;ximum</source>
        <translation>Tamaño má&amp;ximo</translation>
    </message>
    <message>
        <source>Mi&amp;nimum</source>
        <translation>Tamaño mí&amp;nimo</translation>
    </message>
    <message>
        <source>- &amp;Update</source>
        <translation>- Act&amp;ualizar</translation>
    </message>
    <message>
        <source>&amp;Product Information</source>
        <translation>Información del &amp;producto</translation>
    </message>
    <message>
        <source>&amp;FAQs</source>
        <translation>Preguntas &amp;frecuentes</translation>
    </message>
    <message>
        <source>KORVEN &amp;ID</source>
        <translation>KORVEN &amp;ID</translation>
    </message>
    <message>
        <source>Product &amp;Manual</source>
        <translation>&amp;Manual del producto</translation>
    </message>
    <message>
        <source>&amp;License</source>
        <translation>&amp;Licencia</translation>
    </message>
    <message>
        <source>&amp;KORVEN StrataMixer</source>
        <translation>&amp;KORVEN StrataMixer</translation>
    </message>
    <message>
        <source>Settings cannot be saved to %1</source>
        <translation>No se pueden guardar los ajustes en %1</translation>
    </message>
    <message>
        <source>Check the USB cable and, on Linux, the udev rule. To try the panel without a unit, start it with --simulate &quot;Strata 96&quot;.</source>
        <translation>Compruebe el cable USB y, en Linux, la regla udev. Para probar el panel sin una unidad, inícielo con --simulate &quot;Strata 96&quot;.</translation>
    </message>
    <message>
        <source>The firmware update is still running. The panel can be closed when it has finished.</source>
        <translation>La actualización del firmware sigue en curso. El panel podrá cerrarse cuando haya terminado.</translation>
    </message>
</context>
<context>
    <name>PanelFirmwareUpdate</name>
    <message>
        <source>Update the firmware of the Strata 96 now?

Do not unplug the unit or close the panel until the update has finished.</source>
        <translation>¿Actualizar ahora el firmware del Strata 96?

No desconecte la unidad ni cierre el panel hasta que termine la actualización.</translation>
    </message>
    <message>
        <source>No unit is connected. Connect the Strata 96 and start the update again.</source>
        <translation>No hay ninguna unidad conectada. Conecte el Strata 96 y vuelva a iniciar la actualización.</translation>
    </message>
    <message>
        <source>The connected unit is a %1; only the Strata 96 takes this firmware.</source>
        <translation>La unidad conectada es un %1; solo el Strata 96 admite este firmware.</translation>
    </message>
    <message>
        <source>Firmware Update</source>
        <translation>Actualización del firmware</translation>
    </message>
    <message>
        <source>The firmware update has finished: the unit has verified the new firmware.</source>
        <translation>La actualización del firmware ha terminado: la unidad ha verificado el nuevo firmware.</translation>
    </message>
    <message>
        <source>The unit cancelled the firmware update.</source>
        <translation>La unidad canceló la actualización del firmware.</translation>
    </message>
    <message>
        <source>The unit was disconnected during the firmware update. Connect it again and repeat the update.</source>
        <translation>La unidad se desconectó durante la actualización del firmware. Vuelva a conectarla y repita la actualización.</translation>
    </message>
    <message>
        <source>The firmware update failed: the unit did not take or verify the image. If it was disconnected, connect it again and repeat the update.</source>
        <translation>La actualización del firmware ha fallado: la unidad no ha aceptado o no ha verificado la imagen. Si se desconectó, vuelva a conectarla y repita la actualización.</translation>
    </message>
</context>
<context>
    <name>PeakReadoutAccessible</name>
    <message>
        <source>no signal</source>
        <translation>sin señal</translation>
    </message>
    <message>
        <source>%1 dB</source>
        <translation>%1 dB</translation>
    </message>
    <message>
        <source>Channel %1 peak, %2</source>
        <translation>Pico del canal %1, %2</translation>
    </message>
    <message>
        <source>Main L peak, %1</source>
        <translation>Pico principal I, %1</translation>
    </message>
    <message>
        <source>Main R peak, %1</source>
        <translation>Pico principal D, %1</translation>
    </message>
    <message>
        <source>Press to clear the held peak</source>
        <translation>Pulse para borrar el pico retenido</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source> (simulated unit)</source>
        <translation> (unidad simulada)</translation>
    </message>
</context>
</TS>
