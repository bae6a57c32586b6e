#include "tools/firmwareprogress.h"

namespace {

QString rateText(double bytesPerSecond)
{
    if (bytesPerSecond >= 1024.0 * 1024.0)
        return QStringLiteral("%1 MiB/s").arg(bytesPerSecond / (1024.0 * 1024.0), 0, 'f', 1);
    if (bytesPerSecond >= 1024.0)
        return QStringLiteral("%1 KiB/s").arg(bytesPerSecond / 1024.0, 0, 'f', 1);
    return QStringLiteral("%1 B/s").arg(qRound(bytesPerSecond));
}

QString durationText(qint64 seconds)
{
    if (seconds < 60)
        return QStringLiteral("%1 s").arg(seconds);
    return QStringLiteral("%1 min %2 s").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

QString firmwareProgressLine(uint32_t pos, uint32_t length, qint64 elapsedMs, bool verifying)
{
    if (verifying)
        return QStringLiteral("Verifying firmware  %1 bytes sent, waiting for the unit").arg(pos);
    const int percent = length ? int(quint64(pos) * 100 / length) : 100;
    QString line = QStringLiteral("Sending firmware  %1%  %2/%3 bytes").arg(percent, 3).arg(pos).arg(length);
    if (elapsedMs >= 1000 && pos > 0) {
        const double rate = double(pos) * 1000.0 / double(elapsedMs);
        const qint64 left = qint64(double(length - pos) / rate + 0.999);
        line += QStringLiteral("  %1  %2 left").arg(rateText(rate), durationText(left));
    }
    return line;
}

QString firmwareSummaryLine(uint32_t pos, qint64 elapsedMs)
{
    return QStringLiteral("Sent %1 bytes in %2 s").arg(pos).arg(double(elapsedMs) / 1000.0, 0, 'f', 1);
}
