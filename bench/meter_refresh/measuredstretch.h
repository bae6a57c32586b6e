// The processes of a side-by-side comparison measure themselves over the
// same stretch of time: each says it is ready once its window runs, starts
// measuring when the parent answers "go" on its standard input, and prints
// its figures when the stretch is over. Lines for the parent start with
// "bench-" so that anything else a process prints is passed over.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <functional>

#include <sys/resource.h>

class MeasuredStretch : public QObject
{
public:
    // extra: more "key=value" pairs for the figures line, asked at the end.
    MeasuredStretch(int seconds, std::function<QString()> extra = nullptr);

    // Prints the ready line and starts the stretch at "go"; the
    // application quits once the figures are printed.
    void begin();
    static void fail(const char *why);

private:
    void start();
    void finish();

    int m_seconds;
    std::function<QString()> m_extra;
    QSocketNotifier m_input;
    rusage m_before{};
    QElapsedTimer m_clock;
};
