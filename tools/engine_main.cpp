// stratactl-engine: stratactl's engine mode (info and meters through the
// panel's device service). stratactl starts it for --engine with the same
// arguments; the simulated unit, if any, is already chosen in the environment.
#include <csignal>

#include <QCoreApplication>

#include "service/collapsedoutput.h"
#include "service/faultoption.h"
#include "service/simulationoption.h"
#include "tools/invocation.h"
#include "tools/outcome.h"
#include "tools/resultstream.h"
#include "tools/stratactl_engine.h"

int main(int argc, char **argv)
{
    std::signal(SIGPIPE, SIG_IGN); // a closed pipe is a failed write, reported as such
    if (!SimulationOption::apply(argc, argv))
        return kExitFailed;

    std::FILE *results = openResultStream();
    QCoreApplication app(argc, argv);
    const ParsedInvocation parsed = parseInvocation(app.arguments().mid(1));
    if (!parsed.error.isEmpty())
        return finishOutcome(Outcome::usage(parsed.error));
    // stratactl has put a --faults list into the environment already.
    const QString faultError = FaultOption::environmentError(SimulationOption::isSimulated());
    if (!faultError.isEmpty())
        return finishOutcome(Outcome::usage(faultError));
    Outcome outcome;
    {
        // Gone before the last line, so that the library's lines come first.
        const CollapsedOutput collapsed;
        outcome = runEngine(parsed.invocation, results);
    }
    return finishOutcome(outcome);
}
