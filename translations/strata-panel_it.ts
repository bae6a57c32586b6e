<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it">
<context>
    <name>AboutDialog</name>
    <message>
        <source>KORVEN Strata Mixer</source>
        <translation>KORVEN Strata Mixer</translation>
    </message>
    <message>
        <source>USB Audio Interface&lt;p&gt;KORVEN StrataMixer</source>
        <translation>Interfaccia audio USB&lt;p&gt;KORVEN StrataMixer</translation>
    </message>
    <message>
        <source>Software Ver. : V</source>
        <translation>Versione software: V</translation>
    </message>
    <message>
        <source>Copyright (c) 2026 The Strata panel authors. Free software under the MIT License.</source>
        <translation>Copyright (c) 2026 Gli autori del pannello Strata. Software libero con licenza MIT.</translation>
    </message>
</context>
<context>
    <name>KeyboardAccess</name>
    <message>
        <source>Meters page</source>
        <translation>Pagina indicatori di livello</translation>
    </message>
    <message>
        <source>Information page</source>
        <translation>Pagina informazioni</translation>
    </message>
    <message>
        <source>Peak hold off</source>
        <translation>Mantenimento picchi disattivato</translation>
    </message>
    <message>
        <source>Peak hold 1 second</source>
        <translation>Mantenimento picchi 1 secondo</translation>
    </message>
    <message>
        <source>Peak hold 3 seconds</source>
        <translation>Mantenimento picchi 3 secondi</translation>
    </message>
    <message>
        <source>Peak hold infinite</source>
        <translation>Mantenimento picchi infinito</translation>
    </message>
    <message>
        <source>Clear all held peaks</source>
        <translation>Azzera tutti i picchi mantenuti</translation>
    </message>
    <message>
        <source>Meter source: MTR SOURCE</source>
        <translation>Sorgente indicatori: SORGENTE MTR</translation>
    </message>
    <message>
        <source>Meter source: MIC / LINE</source>
        <translation>Sorgente indicatori: MIC / LINEA</translation>
    </message>
    <message>
        <source>Meter source: USB RETURN</source>
        <translation>Sorgente indicatori: RITORNO USB</translation>
    </message>
    <message>
        <source>Meter source: MTR RETURN</source>
        <translation>Sorgente indicatori: RITORNO MTR</translation>
    </message>
</context>
<context>
    <name>LicenseDialog</name>
    <message>
        <source>License Information</source>
        <translation>Informazioni sulla licenza</translation>
    </message>
    <message>
        <source>File Missing!</source>
        <translation>File mancante!</translation>
    </message>
    <message>
        <source>There is a possibility that the file has been moved or deleted.</source>
        <translation>Il file potrebbe essere stato spostato o eliminato.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>KORVEN StrataMixer Settings Panel</source>
        <translation>Pannello impostazioni KORVEN StrataMixer</translation>
    </message>
    <message>
        <source>INFORMATION</source>
        <translation>INFORMAZIONI</translation>
    </message>
    <message>
        <source>METERS</source>
        <translation>INDICATORI</translation>
    </message>
    <message>
        <source>Software version    :</source>
        <translation>Versione software:</translation>
    </message>
    <message>
        <source>Firmware version   :</source>
        <translation>Versione firmware:</translation>
    </message>
    <message>
        <source>No Device</source>
        <translation>Nessun dispositivo</translation>
    </message>
    <message>
        <source>Sample rate          :</source>
        <translation>Campionamento:</translation>
    </message>
    <message>
        <source>Buffer size              :</source>
        <translation>Dimensione buffer:</translation>
    </message>
    <message>
        <source>128 samples</source>
        <translation>128 campioni</translation>
    </message>
    <message>
        <source>Serial number :</source>
        <translation>N° di serie:</translation>
    </message>
    <message>
        <source>MAIN</source>
        <translation>PRINC.</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>OFF</translation>
    </message>
    <message>
        <source>1 SEC</source>
        <translation>1 SEC</translation>
    </message>
    <message>
        <source>3 SEC</source>
        <translation>3 SEC</translation>
    </message>
    <message>
        <source>CLEAR</source>
        <translation>RESET</translation>
    </message>
    <message>
        <source>PEAK HOLD</source>
        <translation>TENUTA</translation>
    </message>
    <message>
        <source>METER SELECT</source>
        <translation>SEL. METER</translation>
    </message>
    <message>
        <source>MTR SOURCE</source>
        <translation>SORGENTE MTR</translation>
    </message>
    <message>
        <source>MIC / LINE</source>
        <translation>MIC / LINEA</translation>
    </message>
    <message>
        <source>USB RETURN</source>
        <translation>RITORNO USB</translation>
    </message>
    <message>
        <source>MTR RETURN</source>
        <translation>RITORNO MTR</translation>
    </message>
    <message>
        <source>Device is not connected</source>
        <translation>Il dispositivo non è collegato</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>&amp;Finestra</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aiuto</translation>
    </message>
    <message>
        <source>- KORVEN &amp;Website</source>
        <translation>- Sito &amp;web KORVEN</translation>
    </message>
    <message>
        <source>- &amp;About...</source>
        <translation>- &amp;Informazioni su...</translation>
    </message>
    <message>
        <source>&amp;Default</source>
        <translation>Dimensione &amp;predefinita</translation>
    </message>
    <message>
        <source>Ma&amp;ximum</source>
        <translation>Dimensione ma&amp;ssima</translation>
    </message>
    <message>
        <source>Mi&amp;nimum</source>
        <translation>Dimensione mi&amp;nima</translation>
    </message>
    <message>
        <source>- &amp;Update</source>
        <translation>- A&amp;ggiorna</translation>
    </message>
    <message>
        <source>&amp;Product Information</source>
        <translation>Informazioni sul &amp;prodotto</translation>
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
        <translation>&amp;Manuale del prodotto</translation>
    </message>
    <message>
        <source>&amp;License</source>
        <translation>&amp;Licenza</translation>
    </message>
    <message>
        <source>&amp;KORVEN StrataMixer</source>
        <translation>&amp;KORVEN StrataMixer</translation>
    </message>
    <message>
        <source>Settings cannot be saved to %1</source>
        <translation>Impossibile salvare le impostazioni in %1</translation>
    </message>
    <message>
        <source>Check the USB cable and, on Linux, the udev rule. To try the panel without a unit, start it with --simulate &quot;Strata 96&quot;.</source>
        <translation>Controllare il cavo USB e, su Linux, la regola udev. Per provare il pannello senza unità, avviarlo con --simulate &quot;Strata 96&quot;.</translation>
    </message>
    <message>
        <source>The firmware update is still running. The panel can be closed when it has finished.</source>
        <translation>L'aggiornamento del firmware è ancora in corso. Il pannello potrà essere chiuso al termine.</translation>
    </message>
</context>
<context>
    <name>PanelFirmwareUpdate</name>
    <message>
        <source>Update the firmware of the Strata 96 now?

Do not unplug the unit or close the panel until the update has finished.</source>
        <translation>Aggiornare ora il firmware dello Strata 96?

Non scollegare l&apos;unità e non chiudere il pannello finché l&apos;aggiornamento non è terminato.</translation>
    </message>
    <message>
        <source>No unit is connected. Connect the Strata 96 and start the update again.</source>
        <translation>Nessuna unità collegata. Collegare lo Strata 96 e avviare di nuovo l&apos;aggiornamento.</translation>
    </message>
    <message>
        <source>The connected unit is a %1; only the Strata 96 takes this firmware.</source>
        <translation>L&apos;unità collegata è uno %1; solo lo Strata 96 accetta questo firmware.</translation>
    </message>
    <message>
        <source>Firmware Update</source>
        <translation>Aggiornamento firmware</translation>
    </message>
    <message>
        <source>The firmware update has finished: the unit has verified the new firmware.</source>
        <translation>L&apos;aggiornamento del firmware è terminato: l&apos;unità ha verificato il nuovo firmware.</translation>
    </message>
    <message>
        <source>The unit cancelled the firmware update.</source>
        <translation>L&apos;unità ha annullato l&apos;aggiornamento del firmware.</translation>
    </message>
    <message>
        <source>The unit was disconnected during the firmware update. Connect it again and repeat the update.</source>
        <translation>L&apos;unità è stata scollegata durante l&apos;aggiornamento del firmware. Ricollegarla e ripetere l&apos;aggiornamento.</translation>
    </message>
    <message>
        <source>The firmware update failed: the unit did not take or verify the image. If it was disconnected, connect it again and repeat the update.</source>
        <translation>L&apos;aggiornamento del firmware non è riuscito: l&apos;unità non ha accettato o verificato l&apos;immagine. Se è stata scollegata, ricollegarla e ripetere l&apos;aggiornamento.</translation>
    </message>
</context>
<context>
    <name>PeakReadoutAccessible</name>
    <message>
        <source>no signal</source>
        <translation>nessun segnale</translation>
    </message>
    <message>
        <source>%1 dB</source>
        <translation>%1 dB</translation>
    </message>
    <message>
        <source>Channel %1 peak, %2</source>
        <translation>Picco canale %1, %2</translation>
    </message>
    <message>
        <source>Main L peak, %1</source>
        <translation>Picco principale S, %1</translation>
    </message>
    <message>
        <source>Main R peak, %1</source>
        <translation>Picco principale D, %1</translation>
    </message>
    <message>
        <source>Press to clear the held peak</source>
        <translation>Premere per azzerare il picco mantenuto</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source> (simulated unit)</source>
        <translation> (unità simulata)</translation>
    </message>
</context>
</TS>
