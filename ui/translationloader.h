// The panel speaks the user's language where a translation exists: French,
// Spanish, German, Italian, Japanese and Simplified Chinese. On any other
// system, English among them, nothing is loaded and every text stays as the
// form and the code write it.
#pragma once

#include <QLocale>
#include <QStringList>

namespace panel {

// Where the compiled translations are looked for, in order: the share folder
// beside the installed program, the configured install prefix, the build
// tree (so the panel speaks the language before it is installed).
QStringList translationDirectories();

// Call once the application object exists, before the window is built.
// Installs the panel's translation for the locale's languages, and the
// toolkit's own for its standard buttons; returns whether the panel's was
// found.
bool installTranslations(const QLocale &locale = QLocale());

} // namespace panel
