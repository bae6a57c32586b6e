// stratactl: the command-line client of the device library.
#include <cstdio>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>

#include "service/simulationoption.h"
#include "sim/simunit.h"
#include "tools/directcommands.h"
#include "tools/helptext.h"
#include "tools/invocation.h"

namespace {

int finish(const Outcome &outcome)
{
    return finishOutcome(outcome);
}

// The engine mode lives in a program of its own beside this one: only that
// program carries the data manager, a static object that starts a registry
// and a worker thread before main, which the direct commands must not pay for
// (nor see as a second registry printing every arrival twice).
Outcome runEngineProgram(char **argv)
{
    const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/stratactl-engine");
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
    // Checked before the restart: a wrong model would otherwise start the
    // program again on a simulated bus with no unit on it.
    bool simulated = false;
    const QString model = SimulationOption::model(argc, argv, &simulated);
    if (simulated && !model.isEmpty() && !knownModel(model))
        return finish(Outcome::usage(
            QStringLiteral("unknown model '%1': models are Strata 96, Strata 10, Strata 14, Strata 20").arg(model)));
    if (!SimulationOption::apply(argc, argv))
        return kExitFailed;

    QCoreApplication app(argc, argv);
    const ParsedInvocation parsed = parseInvocation(app.arguments().mid(1));
    if (!parsed.error.isEmpty())
        return finish(Outcome::usage(parsed.error));
    const Invocation &inv = parsed.invocation;

    if (inv.command == QLatin1String("help")) {
        const QByteArray text = helpText(inv.args.value(0)).toUtf8();
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
        return kExitOk;
    }
    return finish(inv.engine ? runEngineProgram(argv) : runDirect(inv, stdout));
}
