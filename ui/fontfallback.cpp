#include "ui/fontfallback.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace panel {

namespace {

const char *const kDesignFamilies[] = {"Yu Gothic UI", "\u30e1\u30a4\u30ea\u30aa"};

// Narrow sans families, preferred first.
const char *const kNarrowFamilies[] = {"DejaVu Sans Condensed", "Liberation Sans Narrow",
                                       "Nimbus Sans Narrow", "Arial Narrow", "Roboto Condensed"};

} // namespace

void installFontFallbacks()
{
    const QStringList installed = QFontDatabase().families();
    QStringList narrow;
    for (const char *family : kNarrowFamilies) {
        if (installed.contains(QLatin1String(family), Qt::CaseInsensitive))
            narrow.append(QLatin1String(family));
    }
    if (narrow.isEmpty())
        return;
    bool missing = false;
    for (const char *family : kDesignFamilies) {
        const QString name = QString::fromUtf8(family);
        if (!installed.contains(name, Qt::CaseInsensitive)) {
            QFont::insertSubstitutions(name, narrow);
            missing = true;
        }
    }
    // Widgets under a style sheet resolve a font without a family of their
    // own against the application font, not the window's: it has to be
    // narrow too.
    if (missing) {
        QFont font = QApplication::font();
        font.setFamily(narrow.first());
        QApplication::setFont(font);
    }
}

} // namespace panel
