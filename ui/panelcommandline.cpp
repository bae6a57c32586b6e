#include "ui/panelcommandline.h"

#include <cstdio>
#include <cstring>

#include <QCommandLineParser>
#include <QCoreApplication>

#include "ui/panelconstants.h"

namespace panel {

namespace {

// Qt's own options, which the application object takes off the line later;
// they are known here only so that they are not refused.
const char *const kQtOptionsWithValue[] = {"platform", "platformpluginpath", "platformtheme", "plugin",
                                           "qwindowgeometry", "geometry", "qwindowtitle", "title",
                                           "qwindowicon", "icon", "session", "display", "name",
                                           "style", "stylesheet", "qmljsdebugger"};
const char *const kQtFlags[] = {"reverse", "testability", "widgetcount", "nograb", "dograb", "sync"};

const char kNoUpdateCheck[] = "no-update-check";

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

void addOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral("Settings panel for the KORVEN Strata USB mixers."));
    // Qt's options are written with one dash (-platform offscreen).
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(QCommandLineOption(
        QStringLiteral("simulate"),
        QStringLiteral("Run on a simulated unit: \"Strata 96\", \"Strata 10\", \"Strata 14\" or \"Strata 20\"."),
        QStringLiteral("MODEL")));
    parser.addOption(QCommandLineOption(
        QLatin1String(kNoUpdateCheck),
        QStringLiteral("Do not ask the maker's server for a newer panel or firmware at start.")));
    for (const char *name : kQtOptionsWithValue) {
        QCommandLineOption option(QLatin1String(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char *name : kQtFlags) {
        QCommandLineOption option{QLatin1String(name)};
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

int answerInformationRequest(int argc, char **argv)
{
    // A core application only: a widget application would need a display.
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    addOptions(parser);
    parser.parse(application.arguments());

    QByteArray text;
    if (parser.isSet(help) || application.arguments().contains(QStringLiteral("--help-all")))
        text = parser.helpText().toLocal8Bit();
    else
        text = QByteArray("strata-panel ") + kSoftwareVersionFull + '\n';
    const bool written = std::fwrite(text.constData(), 1, size_t(text.size()), stdout) == size_t(text.size());
    return written && std::fflush(stdout) == 0 ? 0 : 1;
}

int refuse(const char *program, QString why)
{
    why.replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::fprintf(stderr, "%s: %s (see --help)\n", program, why.toLocal8Bit().constData());
    return 2;
}

} // namespace

CommandLine readCommandLine(int argc, char **argv)
{
    CommandLine result;
    // Help and version are answered whatever else the line holds.
    if (asksForInformation(argc, argv)) {
        result.exitStatus = answerInformationRequest(argc, argv);
        return result;
    }
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QCommandLineParser parser;
    addOptions(parser);
    const char *program = argc > 0 ? argv[0] : "strata-panel";
    if (!parser.parse(arguments))
        result.exitStatus = refuse(program, parser.errorText());
    else if (!parser.positionalArguments().isEmpty())
        result.exitStatus =
            refuse(program, QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));
    result.updateCheck = !parser.isSet(QLatin1String(kNoUpdateCheck));
    return result;
}

} // namespace panel
