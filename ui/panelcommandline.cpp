#include "ui/panelcommandline.h"

#include <cstdio>
#include <cstring>

#include <QCommandLineParser>
#include <QCoreApplication>

#include "ui/panelconstants.h"

namespace panel {

namespace {

bool asksForInformation(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        if (std::strcmp(arg, "--") == 0)
            return false;
        for (const char *option : {"-h", "--help", "-help", "--help-all", "-v", "--version"}) {
            if (std::strcmp(arg, option) == 0)
                return true;
        }
    }
    return false;
}

} // namespace

int answerInformationRequest(int argc, char **argv)
{
    if (!asksForInformation(argc, argv))
        return -1;
    // A core application only: a widget application would need a display.
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Settings panel for the KORVEN Strata USB mixers."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addOption(QCommandLineOption(
        QStringLiteral("simulate"),
        QStringLiteral("Run on a simulated unit: \"Strata 96\", \"Strata 10\", \"Strata 14\" or \"Strata 20\"."),
        QStringLiteral("MODEL")));
    // Qt's own options (-platform, -style, ...) are not known here; help and
    // version are answered whatever else the line holds.
    parser.parse(application.arguments());

    QByteArray text;
    if (parser.isSet(help) || application.arguments().contains(QStringLiteral("--help-all")))
        text = parser.helpText().toLocal8Bit();
    else if (parser.isSet(version))
        text = QByteArray("strata-panel ") + kSoftwareVersionFull + '\n';
    else
        return -1;
    const bool written = std::fwrite(text.constData(), 1, size_t(text.size()), stdout) == size_t(text.size());
    return written && std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace panel
