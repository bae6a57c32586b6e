// stratactl: the command-line client of the device library.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "service/collapsedoutput.h"
#include "service/faultoption.h"
#include "service/simulationoption.h"
#include "service/standardstreams.h"
#include "sim/simunit.h"
#include "tools/directcommands.h"
#include "tools/helptext.h"
#include "tools/invocation.h"
#include "tools/resultstream.h"
#include "ui/panelconstants.h"

namespace {

int finish(const Outcome &outcome)
{
    return finishOutcome(outcome);
}

// The engine mode lives in a program of its own beside this one: only that
// program carries the data manager, a static object that starts a registry
// and a worker thread before main, which the direct commands must not pay for
// (nor see as a second registry printing every arrival twice).
// Beside stratactl in the build tree; under libexec/ once installed.
QString engineProgramPath()
{
    const QString dir = QCoreApplication::applicationDirPath();
    const QString beside = dir + QStringLiteral("/stratactl-engine");
    if (QFileInfo(beside).isExecutable())
        return beside;
    return QDir::cleanPath(dir + QStringLiteral("/" STRATACTL_ENGINE_FROM_BIN "/stratactl-engine"));
}

Outcome runEngineProgram(char **argv)
{
    const QString path = engineProgramPath();
    const QByteArray native = QFile::encodeName(path);
    std::fflush(stdout);
    execv(native.constData(), argv);
    return Outcome::failed(QStringLiteral("engine mode unavailable: %1 cannot be started").arg(path));
}

bool knownModel(const QString &name)
{
    sim::Model model;
    return sim::modelFromName(name.toStdString(), &model);
}

} // namespace

int main(int argc, char **argv)
{
    // First: the descriptors opened below must not take a closed 0, 1 or 2.
    openStandardStreams();
    // Checked before the restart: a wrong model would otherwise start the
    // program again on a simulated bus with no unit on it.
    // A closed pipe shows as a failed write, which ends the command with its
    // line, rather than as a signal that kills it between two writes.
    std::signal(SIGPIPE, SIG_IGN);
    bool simulated = false;
    QString model = SimulationOption::model(argc, argv, &simulated);
    QString source;
    const char *fromEnvironment = std::getenv("STRATA_SIMULATE");
    if (!simulated && fromEnvironment && *fromEnvironment) {
        model = QString::fromLocal8Bit(fromEnvironment);
        source = QStringLiteral(" in STRATA_SIMULATE");
    }
    if (!model.isEmpty() && !knownModel(model))
        return finish(Outcome::usage(QStringLiteral("unknown model '%1'%2: models are Strata 96, Strata 10, Strata 14, "
                                                    "Strata 20").arg(model, source)));
    if (!SimulationOption::apply(argc, argv))
        return kExitFailed;

    std::FILE *results = openResultStream();
    QCoreApplication app(argc, argv);
    const ParsedInvocation parsed = parseInvocation(app.arguments().mid(1));
    if (!parsed.error.isEmpty())
        return finish(Outcome::usage(parsed.error));
    const Invocation &inv = parsed.invocation;
    const QString faultError = inv.faultsGiven
        ? (SimulationOption::isSimulated()
               ? FaultOption::applyList(inv.faults, QStringLiteral("--faults"))
               : QStringLiteral("option --faults needs the simulated unit (--simulate MODEL)"))
        : FaultOption::environmentError(SimulationOption::isSimulated());
    if (!faultError.isEmpty())
        return finish(Outcome::usage(faultError));

    if (inv.command == QLatin1String("help") || inv.command == QLatin1String("version")) {
        const QByteArray text = inv.command == QLatin1String("help")
            ? helpText(inv.args.value(0)).toUtf8()
            : QByteArray("stratactl ") + panel::kSoftwareVersionFull + '\n';
        if (!writeOutput(results, text))
            return finish(Outcome::failed(outputFailedLine()));
        return finish(Outcome::ok());
    }
    if (inv.engine)
        return finish(runEngineProgram(argv));
    Outcome outcome;
    {
        // Gone before the last line, so that the library's lines come first.
        const CollapsedOutput collapsed;
        outcome = runDirect(inv, results);
    }
    return finish(outcome);
}
