<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>AboutDialog</name>
    <message>
        <source>KORVEN Strata Mixer</source>
        <translation>KORVEN Strata Mixer</translation>
    </message>
    <message>
        <source>USB Audio Interface&lt;p&gt;KORVEN StrataMixer</source>
        <translation>USB-Audio-Interface&lt;p&gt;KORVEN StrataMixer</translation>
    </message>
    <message>
        <source>Software Ver. : V</source>
        <translation>Softwareversion: V</translation>
    </message>
    <message>
        <source>Copyright (c) 2026 The Strata panel authors. Free software under the MIT License.</source>
        <translation>Copyright (c) 2026 Die Autoren des Strata-Panels. Freie Software unter der MIT-Lizenz.</translation>
    </message>
</context>
<context>
    <name>KeyboardAccess</name>
    <message>
        <source>Meters page</source>
        <translation>Seite Pegelanzeigen</translation>
    </message>
    <message>
        <source>Information page</source>
        <translation>Seite Informationen</translation>
    </message>
    <message>
        <source>Peak hold off</source>
        <translation>Spitzenwerthaltung aus</translation>
    </message>
    <message>
        <source>Peak hold 1 second</source>
        <translation>Spitzenwerthaltung 1 Sekunde</translation>
    </message>
    <message>
        <source>Peak hold 3 seconds</source>
        <translation>Spitzenwerthaltung 3 Sekunden</translation>
    </message>
    <message>
        <source>Peak hold infinite</source>
        <translation>Spitzenwerthaltung unbegrenzt</translation>
    </message>
    <message>
        <source>Clear all held peaks</source>
        <translation>Alle gehaltenen Spitzenwerte löschen</translation>
    </message>
    <message>
        <source>Meter source: MTR SOURCE</source>
        <translation>Messquelle: MTR-QUELLE</translation>
    </message>
    <message>
        <source>Meter source: MIC / LINE</source>
        <translation>Messquelle: MIKRO / LINE</translation>
    </message>
    <message>
        <source>Meter source: USB RETURN</source>
        <translation>Messquelle: USB-RÜCKWEG</translation>
    </message>
    <message>
        <source>Meter source: MTR RETURN</source>
        <translation>Messquelle: MTR-RÜCKWEG</translation>
    </message>
</context>
<context>
    <name>LicenseDialog</name>
    <message>
        <source>License Information</source>
        <translation>Lizenzinformationen</translation>
    </message>
    <message>
        <source>File Missing!</source>
        <translation>Datei fehlt!</translation>
    </message>
    <message>
        <source>There is a possibility that the file has been moved or deleted.</source>
        <translation>Die Datei wurde möglicherweise verschoben oder gelöscht.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>KORVEN StrataMixer Settings Panel</source>
        <translation>KORVEN StrataMixer Einstellungen</translation>
    </message>
    <message>
        <source>INFORMATION</source>
        <translation>INFORMATION</translation>
    </message>
    <message>
        <source>METERS</source>
        <translation>PEGEL</translation>
    </message>
    <message>
        <source>Software version    :</source>
        <translation>Softwareversion:</translation>
    </message>
    <message>
        <source>Firmware version   :</source>
        <translation>Firmwareversion:</translation>
    </message>
    <message>
        <source>No Device</source>
        <translation>Kein Gerät</translation>
    </message>
    <message>
        <source>Sample rate          :</source>
        <translation>Abtastrate:</translation>
    </message>
    <message>
        <source>Buffer size              :</source>
        <translation>Puffergröße:</translation>
    </message>
    <message>
        <source>128 samples</source>
        <translation>128 Samples</translation>
    </message>
    <message>
        <source>Serial number :</source>
        <translation>Seriennummer:</translation>
    </message>
    <message>
        <source>MAIN</source>
        <translation>MAIN</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>AUS</translation>
    </message>
    <message>
        <source>1 SEC</source>
        <translation>1 SEK</translation>
    </message>
    <message>
        <source>3 SEC</source>
        <translation>3 SEK</translation>
    </message>
    <message>
        <source>CLEAR</source>
        <translation>RESET</translation>
    </message>
    <message>
        <source>PEAK HOLD</source>
        <translation>PEAK-HOLD</translation>
    </message>
    <message>
        <source>METER SELECT</source>
        <translation>MESSQUELLE</translation>
    </message>
    <message>
        <source>MTR SOURCE</source>
        <translation>MTR-QUELLE</translation>
    </message>
    <message>
        <source>MIC / LINE</source>
        <translation>MIKRO / LINE</translation>
    </message>
    <message>
        <source>USB RETURN</source>
        <translation>USB-RÜCKWEG</translation>
    </message>
    <message>
        <source>MTR RETURN</source>
        <translation>MTR-RÜCKWEG</translation>
    </message>
    <message>
        <source>Device is not connected</source>
        <translation>Das Gerät ist nicht verbunden</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>&amp;Fenster</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>- KORVEN &amp;Website</source>
        <translation>- KORVEN-&amp;Website</translation>
    </message>
    <message>
        <source>- &amp;About...</source>
        <translation>- Ü&amp;ber...</translation>
    </message>
    <message>
        <source>&amp;Default</source>
        <translation>&amp;Standardgröße</translation>
    </message>
    <message>
        <source>Ma&amp;ximum</source>
        <translation>&amp;Maximal</translation>
    </message>
    <message>
        <source>Mi&amp;nimum</source>
        <translation>M&amp;inimal</translation>
    </message>
    <message>
        <source>- &amp;Update</source>
        <translation>- &amp;Aktualisieren</translation>
    </message>
    <message>
        <source>&amp;Product Information</source>
        <translation>&amp;Produktinformationen</translation>
    </message>
    <message>
        <source>&amp;FAQs</source>
        <translation>&amp;FAQ</translation>
    </message>
    <message>
        <source>KORVEN &amp;ID</source>
        <translation>KORVEN &amp;ID</translation>
    </message>
    <message>
        <source>Product &amp;Manual</source>
        <translation>Produkt&amp;handbuch</translation>
    </message>
    <message>
        <source>&amp;License</source>
        <translation>&amp;Lizenz</translation>
    </message>
    <message>
        <source>&amp;KORVEN StrataMixer</source>
        <translation>&amp;KORVEN StrataMixer</translation>
    </message>
    <message>
        <source>Settings cannot be saved to %1</source>
        <translation>Die Einstellungen können nicht in %1 gespeichert werden</translation>
    </message>
    <message>
        <source>Check the USB cable and, on Linux, the udev rule. To try the panel without a unit, start it with --simulate &quot;Strata 96&quot;.</source>
        <translation>Prüfen Sie das USB-Kabel und unter Linux die udev-Regel. Um das Panel ohne Gerät auszuprobieren, starten Sie es mit --simulate &quot;Strata 96&quot;.</translation>
    </message>
    <message>
        <source>The firmware update is still running. The panel can be closed when it has finished.</source>
        <translation>Das Firmware-Update läuft noch. Das Panel kann geschlossen werden, sobald es abgeschlossen ist.</translation>
    </message>
</context>
<context>
    <name>PanelFirmwareUpdate</name>
    <message>
        <source>Update the firmware of the Strata 96 now?

Do not unplug the unit or close the panel until the update has finished.</source>
        <translation>Die Firmware des Strata 96 jetzt aktualisieren?

Trennen Sie das Gerät nicht und schließen Sie das Panel nicht, bis die Aktualisierung abgeschlossen ist.</translation>
    </message>
    <message>
        <source>No unit is connected. Connect the Strata 96 and start the update again.</source>
        <translation>Es ist kein Gerät verbunden. Schließen Sie den Strata 96 an und starten Sie die Aktualisierung erneut.</translation>
    </message>
    <message>
        <source>The connected unit is a %1; only the Strata 96 takes this firmware.</source>
        <translation>Das verbundene Gerät ist ein %1; nur der Strata 96 nimmt diese Firmware an.</translation>
    </message>
    <message>
        <source>Firmware Update</source>
        <translation>Firmware-Aktualisierung</translation>
    </message>
    <message>
        <source>The firmware update has finished: the unit has verified the new firmware.</source>
        <translation>Die Firmware-Aktualisierung ist abgeschlossen: Das Gerät hat die neue Firmware geprüft.</translation>
    </message>
    <message>
        <source>The unit cancelled the firmware update.</source>
        <translation>Das Gerät hat die Firmware-Aktualisierung abgebrochen.</translation>
    </message>
    <message>
        <source>The unit was disconnected during the firmware update. Connect it again and repeat the update.</source>
        <translation>Das Gerät wurde während der Firmware-Aktualisierung getrennt. Schließen Sie es wieder an und wiederholen Sie die Aktualisierung.</translation>
    </message>
    <message>
        <source>The firmware update failed: the unit did not take or verify the image. If it was disconnected, connect it again and repeat the update.</source>
        <translation>Die Firmware-Aktualisierung ist fehlgeschlagen: Das Gerät hat das Abbild nicht angenommen oder nicht geprüft. Falls es getrennt wurde, schließen Sie es wieder an und wiederholen Sie die Aktualisierung.</translation>
    </message>
</context>
<context>
    <name>PeakReadoutAccessible</name>
    <message>
        <source>no signal</source>
        <translation>kein Signal</translation>
    </message>
    <message>
        <source>%1 dB</source>
        <translation>%1 dB</translation>
    </message>
    <message>
        <source>Channel %1 peak, %2</source>
        <translation>Spitzenwert Kanal %1, %2</translation>
    </message>
    <message>
        <source>Main L peak, %1</source>
        <translation>Spitzenwert Main L, %1</translation>
    </message>
    <message>
        <source>Main R peak, %1</source>
        <translation>Spitzenwert Main R, %1</translation>
    </message>
    <message>
        <source>Press to clear the held peak</source>
        <translation>Drücken, um den gehaltenen Spitzenwert zu löschen</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source> (simulated unit)</source>
        <translation> (simuliertes Gerät)</translation>
    </message>
</context>
</TS>
