#include "tools/meterreport.h"

#include <cmath>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "tools/channelparse.h"

QByteArray meterTable(const MeterLevels &levels)
{
    QByteArray out("  # kind      ch  level     dB\n");
    for (int i = 0; i < kMeterRecords; ++i) {
        const QString line = QStringLiteral("%1 %2 %3 %4 %5\n")
                                 .arg(i, 3)
                                 .arg(channelKindName(meterRecordKind(i)), -9)
                                 .arg(int(meterRecordChannel(i)), 3)
                                 .arg(int(levels[i]), 6)
                                 .arg(levelDbText(levels[i], 1), 6);
        out += line.toLatin1();
    }
    return out;
}

QByteArray meterJson(const MeterLevels &levels)
{
    QJsonArray meters;
    for (int i = 0; i < kMeterRecords; ++i) {
        const uint32_t kind = meterRecordKind(i);
        QJsonObject m;
        m.insert(QStringLiteral("index"), i);
        m.insert(QStringLiteral("kind"), int(kind));
        // The meter groups and the loopback (kinds 6 to 8) have no name: a
        // made-up one would read as if the unit had said it.
        m.insert(QStringLiteral("kind_name"), channelKindNamed(kind) ? QJsonValue(channelKindName(kind)) : QJsonValue());
        m.insert(QStringLiteral("channel"), int(meterRecordChannel(i)));
        m.insert(QStringLiteral("level"), int(levels[i]));
        if (levels[i] == 0)
            m.insert(QStringLiteral("db"), QJsonValue());
        else
            m.insert(QStringLiteral("db"), std::round(levelDb(levels[i]) * 10.0) / 10.0);
        meters.append(m);
    }
    QJsonObject root;
    root.insert(QStringLiteral("meters"), meters);
    return QJsonDocument(root).toJson(QJsonDocument::Compact) + '\n';
}

QByteArray meterWatchLine(const MeterLevels &levels)
{
    QString line;
    for (int k = 0; k < kInputStrips; ++k) {
        if (k)
            line += QLatin1Char(' ');
        line += QStringLiteral("%1").arg(levelDbText(levels[kFirstInputRecord + k], 0), 4);
    }
    line += QStringLiteral(" | L %1 R %2\n")
                .arg(levelDbText(levels[kMainLeftRecord], 0), 4)
                .arg(levelDbText(levels[kMainRightRecord], 0), 4);
    return line.toLatin1();
}
