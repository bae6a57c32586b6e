#include "sidebyside.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kStartTimeoutMs = 60000;
constexpr int kEndGraceMs = 30000;
constexpr double kGoalRatio = 1.8;
constexpr double kGoalExtraMiB = 20.0;
constexpr double kGoalIdlePercent = 0.2;

struct Figures {
    bool ok = false;
    QString error;
    double cpu = 0;
    double wall = 0;
    double peakMiB = 0;
    QHash<QString, QString> extra;

    double share() const { return wall > 0 ? 100.0 * cpu / wall : 0.0; }
};

// Where the windows go: a display of our own or none at all.
class Display
{
public:
    explicit Display(bool offscreen)
    {
        const QString xvfb = offscreen ? QString() : QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty())
            return;
        // -displayfd picks a free display and writes its number to us.
        m_server.setProgram(xvfb);
        m_server.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                               QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                               QStringLiteral("tcp")});
        m_server.setStandardErrorFile(QProcess::nullDevice());
        m_server.start();
        if (m_server.waitForStarted() && m_server.waitForReadyRead(10000))
            m_number = QString::fromLatin1(m_server.readLine().trimmed());
    }
    ~Display()
    {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            m_server.waitForFinished(5000);
        }
    }
    bool isX() const { return !m_number.isEmpty(); }
    QString describe() const
    {
        return isX() ? QStringLiteral("Xvfb :%1, xcb platform").arg(m_number)
                     : QStringLiteral("offscreen platform");
    }
    void applyTo(QProcessEnvironment *env) const
    {
        if (isX()) {
            env->insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
            env->insert(QStringLiteral("DISPLAY"), QLatin1Char(':') + m_number);
        } else {
            env->insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        }
    }

private:
    QProcess m_server;
    QString m_number;
};

class Measured
{
public:
    Measured(const QString &program, const QStringList &arguments, const QProcessEnvironment &env)
    {
        m_process.setProgram(program);
        m_process.setArguments(arguments);
        m_process.setProcessEnvironment(env);
        // The panel's debug lines are not figures.
        m_process.setStandardErrorFile(QProcess::nullDevice());
        m_process.start();
    }
    ~Measured()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    // The next line for us, or an empty one when the process ended or
    // took too long.
    QString nextLine(int timeoutMs)
    {
        for (;;) {
            while (m_process.canReadLine()) {
                const QString line = QString::fromLocal8Bit(m_process.readLine()).trimmed();
                if (line.startsWith(QLatin1String("bench-")))
                    return line;
            }
            if (!m_process.waitForReadyRead(timeoutMs))
                return QString();
        }
    }
    void go() { m_process.write("\n"); }
    Figures figures(int timeoutMs)
    {
        Figures f;
        const QString line = nextLine(timeoutMs);
        if (!line.startsWith(QLatin1String("bench-figures "))) {
            f.error = line.isEmpty() ? QStringLiteral("no figures (%1)").arg(m_process.errorString()) : line;
            return f;
        }
        for (const QString &pair : line.mid(14).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const int eq = pair.indexOf(QLatin1Char('='));
            if (eq > 0)
                f.extra.insert(pair.left(eq), pair.mid(eq + 1));
        }
        f.cpu = f.extra.value(QStringLiteral("cpu")).toDouble();
        f.wall = f.extra.value(QStringLiteral("wall")).toDouble();
        f.peakMiB = f.extra.value(QStringLiteral("maxrss")).toDouble() / 1024.0;
        f.ok = f.wall > 0;
        m_process.waitForFinished(timeoutMs);
        return f;
    }

private:
    QProcess m_process;
};

// One stretch of all the processes side by side; all start measuring
// together once every one of them is ready.
std::vector<Figures> runOnce(const std::vector<std::pair<QString, QStringList>> &programs,
                             const std::vector<QProcessEnvironment> &envs, int seconds)
{
    std::vector<std::unique_ptr<Measured>> processes;
    for (size_t i = 0; i < programs.size(); ++i)
        processes.push_back(std::make_unique<Measured>(programs[i].first, programs[i].second, envs[i]));
    std::vector<Figures> results(processes.size());
    bool ready = true;
    for (size_t i = 0; i < processes.size(); ++i) {
        const QString line = processes[i]->nextLine(kStartTimeoutMs);
        if (line != QLatin1String("bench-ready")) {
            results[i].error = line.isEmpty() ? QStringLiteral("did not start") : line;
            ready = false;
        }
    }
    if (!ready)
        return results;
    for (auto &p : processes)
        p->go();
    for (size_t i = 0; i < processes.size(); ++i)
        results[i] = processes[i]->figures(seconds * 1000 + kEndGraceMs);
    return results;
}

void printSpread(const char *what, std::vector<double> values, const char *unit)
{
    if (values.size() < 2)
        return;
    std::sort(values.begin(), values.end());
    std::printf("  %-26s %.2f to %.2f%s (median %.2f%s over %zu runs)\n", what, values.front(), values.back(), unit,
                values[values.size() / 2], unit, values.size());
}

} // namespace

int runSideBySide(int argc, char **argv, const SideBySideOptions &options)
{
    QCoreApplication app(argc, argv);
    const Display display(options.offscreen);
    QProcessEnvironment base = QProcessEnvironment::systemEnvironment();
    display.applyTo(&base);
    const QString self = QCoreApplication::applicationFilePath();
    const QString seconds = QString::number(options.seconds);

    std::vector<std::pair<QString, QStringList>> programs;
    std::vector<QProcessEnvironment> envs;
    QProcessEnvironment panelEnv = base;
    panelEnv.insert(QStringLiteral("STRATA_SIMULATE"), options.idle ? QString() : QStringLiteral("Strata 96"));
    programs.emplace_back(self, QStringList{QStringLiteral("--panel-process"), seconds});
    envs.push_back(panelEnv);
    if (!options.idle) {
        programs.emplace_back(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("bench_plain_labels")),
                              QStringList{seconds});
        envs.push_back(base);
    }

    if (options.idle)
        std::printf("panel idle on the USB backend with no unit plugged in, %d s, %s\n", options.seconds,
                    qPrintable(display.describe()));
    else
        std::printf("panel metering the simulated Strata 96 on the meter page beside 24 plain labels moved at 10 Hz,\n"
                    "both over the same %d s, %s\n",
                    options.seconds, qPrintable(display.describe()));
    std::printf("the panel's update check at start is off (its setting): no manifest request, no network or TLS set-up\n");
    std::vector<double> ratios, extras, idles;
    int failures = 0;
    for (int run = 1; run <= options.runs; ++run) {
        const std::vector<Figures> f = runOnce(programs, envs, options.seconds);
        bool ok = true;
        for (size_t i = 0; i < f.size(); ++i) {
            if (!f[i].ok) {
                std::printf("  run %d: %s: %s\n", run, i == 0 ? "panel" : "plain labels", qPrintable(f[i].error));
                ok = false;
            }
        }
        if (!ok) {
            ++failures;
            continue;
        }
        const Figures &panel = f[0];
        if (options.idle) {
            std::printf("  run %d: CPU share %.3f %% of one core (goal: at most %.1f %%), peak RSS %.1f MiB\n", run,
                        panel.share(), kGoalIdlePercent, panel.peakMiB);
            idles.push_back(panel.share());
            continue;
        }
        const Figures &plain = f[1];
        const double ratio = plain.share() > 0 ? panel.share() / plain.share() : 0.0;
        std::printf("  run %d:%23s %12s\n", run, "CPU share", "peak RSS");
        std::printf("    %-24s %8.2f %% %9.1f MiB   (%s bar resizes, page %s at the end)\n", "panel", panel.share(),
                    panel.peakMiB, qPrintable(panel.extra.value(QStringLiteral("resizes"))),
                    qPrintable(panel.extra.value(QStringLiteral("page"))));
        std::printf("    %-24s %8.2f %% %9.1f MiB\n", "plain labels", plain.share(), plain.peakMiB);
        std::printf("    %-24s %8.2fx %+9.1f MiB   (goals: at most %.1fx, at most %+.0f MiB)\n", "panel against plain",
                    ratio, panel.peakMiB - plain.peakMiB, kGoalRatio, kGoalExtraMiB);
        ratios.push_back(ratio);
        extras.push_back(panel.peakMiB - plain.peakMiB);
    }
    printSpread("CPU ratio", ratios, "x");
    printSpread("extra peak RSS", extras, " MiB");
    printSpread("idle CPU share", idles, " %");
    return failures ? 1 : 0;
}
