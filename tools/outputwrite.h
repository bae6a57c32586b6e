// Reports reach the user only if every write and flush of them succeeds: a
// full disk or a closed pipe is a failure of the command, not a silent loss.
#pragma once

#include <cstdio>

#include <QByteArray>
#include <QString>

// Writes and flushes bytes; false when any of them did not get through.
bool writeOutput(std::FILE *out, const QByteArray &bytes);

// Flushes what the library printed to standard output; false when it failed.
bool flushStandardOutput();

// The one line for a failed write, from errno as the write left it.
QString outputFailedLine();
