// The menu entry's and the metainfo's texts, one per line, for translation.
// Nothing compiles this file: scripts/update-translations.sh reads it with
// lupdate into ts/strata-panel-desktop_*.ts, and the packaging build writes
// each finished translation beside the English (translate.cmake).
// The third argument names the place the text goes.
QT_TRANSLATE_NOOP3("DesktopEntry", "Strata Settings Panel", "Name")
QT_TRANSLATE_NOOP3("DesktopEntry", "Mixer Settings", "GenericName")
QT_TRANSLATE_NOOP3("DesktopEntry", "Identify a KORVEN Strata USB mixer and watch its level meters", "Comment")
QT_TRANSLATE_NOOP3("DesktopEntry", "The settings panel of the KORVEN Strata 96, 10, 14 and 20 USB mixers. It recognises the connected unit and shows its model, firmware version, sample rate and serial number.", "Description1")
QT_TRANSLATE_NOOP3("DesktopEntry", "For the Strata 96 it shows live level meters of all channels with a selectable meter source, peak hold and over indicators. A command-line tool, stratactl, reads and sets the same values from scripts.", "Description2")
