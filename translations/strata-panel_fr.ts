<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>AboutDialog</name>
    <message>
        <source>KORVEN Strata Mixer</source>
        <translation>KORVEN Strata Mixer</translation>
    </message>
    <message>
        <source>USB Audio Interface&lt;p&gt;KORVEN StrataMixer</source>
        <translation>Interface audio USB&lt;p&gt;KORVEN StrataMixer</translation>
    </message>
    <message>
        <source>Software Ver. : V</source>
        <translation>Version du logiciel : V</translation>
    </message>
    <message>
        <source>Copyright (c) 2026 The Strata panel authors. Free software under the MIT License.</source>
        <translation>Copyright (c) 2026 Les auteurs du panneau Strata. Logiciel libre sous licence MIT.</translation>
    </message>
</context>
<context>
    <name>KeyboardAccess</name>
    <message>
        <source>Meters page</source>
        <translation>Page des vumètres</translation>
    </message>
    <message>
        <source>Information page</source>
        <translation>Page d&apos;informations</translation>
    </message>
    <message>
        <source>Peak hold off</source>
        <translation>Maintien des crêtes désactivé</translation>
    </message>
    <message>
        <source>Peak hold 1 second</source>
        <translation>Maintien des crêtes 1 seconde</translation>
    </message>
    <message>
        <source>Peak hold 3 seconds</source>
        <translation>Maintien des crêtes 3 secondes</translation>
    </message>
    <message>
        <source>Peak hold infinite</source>
        <translation>Maintien des crêtes infini</translation>
    </message>
    <message>
        <source>Clear all held peaks</source>
        <translation>Effacer toutes les crêtes maintenues</translation>
    </message>
    <message>
        <source>Meter source: MTR SOURCE</source>
        <translation>Source des vumètres : SOURCE MTR</translation>
    </message>
    <message>
        <source>Meter source: MIC / LINE</source>
        <translation>Source des vumètres : MICRO / LIGNE</translation>
    </message>
    <message>
        <source>Meter source: USB RETURN</source>
        <translation>Source des vumètres : RETOUR USB</translation>
    </message>
    <message>
        <source>Meter source: MTR RETURN</source>
        <translation>Source des vumètres : RETOUR MTR</translation>
    </message>
</context>
<context>
    <name>LicenseDialog</name>
    <message>
        <source>License Information</source>
        <translation>Informations de licence</translation>
    </message>
    <message>
        <source>File Missing!</source>
        <translation>Fichier manquant !</translation>
    </message>
    <message>
        <source>There is a possibility that the file has been moved or deleted.</source>
        <translation>Le fichier a peut-être été déplacé ou supprimé.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>KORVEN StrataMixer Settings Panel</source>
        <translation>Panneau de réglages KORVEN StrataMixer</translation>
    </message>
    <message>
        <source>INFORMATION</source>
        <translation>INFORMATIONS</translation>
    </message>
    <message>
        <source>METERS</source>
        <translation>VUMÈTRES</translation>
    </message>
    <message>
        <source>Software version    :</source>
        <translation>Version du logiciel :</translation>
    </message>
    <message>
        <source>Firmware version   :</source>
        <translation>Version firmware :</translation>
    </message>
    <message>
        <source>No Device</source>
        <translation>Aucun appareil</translation>
    </message>
    <message>
        <source>Sample rate          :</source>
        <translation>Fréquence d&apos;éch. :</translation>
    </message>
    <message>
        <source>Buffer size              :</source>
        <translation>Taille du tampon :</translation>
    </message>
    <message>
        <source>128 samples</source>
        <translation>128 échantillons</translation>
    </message>
    <message>
        <source>Serial number :</source>
        <translation>N° de série :</translation>
    </message>
    <message>
        <source>MAIN</source>
        <translation>PRINC.</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>ARRÊT</translation>
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
        <translation>RAZ</translation>
    </message>
    <message>
        <source>PEAK HOLD</source>
        <translation>MAINTIEN</translation>
    </message>
    <message>
        <source>METER SELECT</source>
        <translation>SÉL. VUMÈTRE</translation>
    </message>
    <message>
        <source>MTR SOURCE</source>
        <translation>SOURCE MTR</translation>
    </message>
    <message>
        <source>MIC / LINE</source>
        <translation>MICRO / LIGNE</translation>
    </message>
    <message>
        <source>USB RETURN</source>
        <translation>RETOUR USB</translation>
    </message>
    <message>
        <source>MTR RETURN</source>
        <translation>RETOUR MTR</translation>
    </message>
    <message>
        <source>Device is not connected</source>
        <translation>L&apos;appareil n&apos;est pas connecté</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>&amp;Fenêtre</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <source>- KORVEN &amp;Website</source>
        <translation>- Site &amp;web KORVEN</translation>
    </message>
    <message>
        <source>- &amp;About...</source>
        <translation>- À &amp;propos...</translation>
    </message>
    <message>
        <source>&amp;Default</source>
        <translation>Taille par &amp;défaut</translation>
    </message>
    <message>
        <source>Ma&amp;ximum</source>
        <translation>Taille ma&amp;ximale</translation>
    </message>
    <message>
        <source>Mi&amp;nimum</source>
        <translation>Taille mi&amp;nimale</translation>
    </message>
    <message>
        <source>- &amp;Update</source>
        <translation>- &amp;Mise à jour</translation>
    </message>
    <message>
        <source>&amp;Product Information</source>
        <translation>Informations &amp;produit</translation>
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
        <translation>&amp;Manuel du produit</translation>
    </message>
    <message>
        <source>&amp;License</source>
        <translation>&amp;Licence</translation>
    </message>
    <message>
        <source>&amp;KORVEN StrataMixer</source>
        <translation>&amp;KORVEN StrataMixer</translation>
    </message>
    <message>
        <source>Settings cannot be saved to %1</source>
        <translation>Impossible d&apos;enregistrer les réglages dans %1</translation>
    </message>
    <message>
        <source>Check the USB cable and, on Linux, the udev rule. To try the panel without a unit, start it with --simulate &quot;Strata 96&quot;.</source>
        <translation>Vérifiez le câble USB et, sous Linux, la règle udev. Pour essayer le panneau sans appareil, lancez-le avec --simulate &quot;Strata 96&quot;.</translation>
    </message>
    <message>
        <source>The firmware update is still running. The panel can be closed when it has finished.</source>
        <translation>La mise à jour du firmware est toujours en cours. Le panneau pourra être fermé une fois celle-ci terminée.</translation>
    </message>
</context>
<context>
    <name>PanelFirmwareUpdate</name>
    <message>
        <source>Update the firmware of the Strata 96 now?

Do not unplug the unit or close the panel until the update has finished.</source>
        <translation>Mettre à jour le firmware du Strata 96 maintenant ?

Ne débranchez pas l&apos;appareil et ne fermez pas le panneau avant la fin de la mise à jour.</translation>
    </message>
    <message>
        <source>No unit is connected. Connect the Strata 96 and start the update again.</source>
        <translation>Aucun appareil n&apos;est connecté. Connectez le Strata 96 et relancez la mise à jour.</translation>
    </message>
    <message>
        <source>The connected unit is a %1; only the Strata 96 takes this firmware.</source>
        <translation>L&apos;appareil connecté est un %1 ; seul le Strata 96 accepte ce firmware.</translation>
    </message>
    <message>
        <source>Firmware Update</source>
        <translation>Mise à jour du firmware</translation>
    </message>
    <message>
        <source>The firmware update has finished: the unit has verified the new firmware.</source>
        <translation>La mise à jour du firmware est terminée : l&apos;appareil a vérifié le nouveau firmware.</translation>
    </message>
    <message>
        <source>The unit cancelled the firmware update.</source>
        <translation>L&apos;appareil a annulé la mise à jour du firmware.</translation>
    </message>
    <message>
        <source>The unit was disconnected during the firmware update. Connect it again and repeat the update.</source>
        <translation>L&apos;appareil a été déconnecté pendant la mise à jour du firmware. Reconnectez-le et recommencez la mise à jour.</translation>
    </message>
    <message>
        <source>The firmware update failed: the unit did not take or verify the image. If it was disconnected, connect it again and repeat the update.</source>
        <translation>La mise à jour du firmware a échoué : l&apos;appareil n&apos;a pas accepté ou pas vérifié l&apos;image. S&apos;il a été déconnecté, reconnectez-le et recommencez la mise à jour.</translation>
    </message>
</context>
<context>
    <name>PeakReadoutAccessible</name>
    <message>
        <source>no signal</source>
        <translation>aucun signal</translation>
    </message>
    <message>
        <source>%1 dB</source>
        <translation>%1 dB</translation>
    </message>
    <message>
        <source>Channel %1 peak, %2</source>
        <translation>Crête du canal %1, %2</translation>
    </message>
    <message>
        <source>Main L peak, %1</source>
        <translation>Crête principale G, %1</translation>
    </message>
    <message>
        <source>Main R peak, %1</source>
        <translation>Crête principale D, %1</translation>
    </message>
    <message>
        <source>Press to clear the held peak</source>
        <translation>Appuyer pour effacer la crête maintenue</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source> (simulated unit)</source>
        <translation> (appareil simulé)</translation>
    </message>
</context>
</TS>
