<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
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
        <translation>Version du firmware :</translation>
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
        <translation>Numéro de série :</translation>
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
