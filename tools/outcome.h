// How a command ended: the exit status and, on failure, the one line the user
// reads on standard error.
#pragma once

#include <cstdio>

#include <QString>

#include "tools/invocation.h"
#include "tools/outputwrite.h"

struct Outcome {
    int status = kExitOk;
    QString error;

    static Outcome ok() { return Outcome(); }
    static Outcome failed(const QString &line) { return Outcome{kExitFailed, line}; }
    static Outcome usage(const QString &line) { return Outcome{kExitUsage, line}; }
};

// Prints the failure line, if any, and gives the exit status. What is still
// buffered for standard output (the library's lines) must get out too.
inline int finishOutcome(Outcome outcome)
{
    if (!flushStandardOutput() && outcome.status == kExitOk)
        outcome = Outcome::failed(outputFailedLine());
    if (!outcome.error.isEmpty())
        std::fprintf(stderr, "stratactl: %s\n", outcome.error.toLocal8Bit().constData());
    return outcome.status;
}
