// stratactl: the command-line client of the device library.
#include <cstdio>

#include <QCoreApplication>

#include "service/simulationoption.h"
#include "sim/simunit.h"
#include "tools/directcommands.h"
#include "tools/helptext.h"
#include "tools/invocation.h"
#include "tools/stratactl_engine.h"

namespace {

int finish(const Outcome &outcome)
{
    if (!outcome.error.isEmpty())
        std::fprintf(stderr, "stratactl: %s\n", outcome.error.toLocal8Bit().constData());
    return outcome.status;
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
    return finish(inv.engine ? runEngine(inv) : runDirect(inv, stdout));
}
