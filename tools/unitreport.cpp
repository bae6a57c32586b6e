#include "tools/unitreport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QByteArray compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

QString hexBytes(const QByteArray &bytes)
{
    QString text;
    for (int i = 0; i < bytes.size(); ++i) {
        if (i)
            text += QLatin1Char(' ');
        text += QStringLiteral("%1").arg(uint8_t(bytes.at(i)), 2, 16, QLatin1Char('0'));
    }
    return text;
}

} // namespace

QString sampleRateText(uint32_t hz)
{
    const QString known = unittext::sampleRateText(hz);
    return known.isNull() ? QStringLiteral("%1 Hz").arg(hz) : known;
}

QByteArray unitListText(const QList<ListedUnit> &units)
{
    QByteArray out;
    for (const ListedUnit &u : units) {
        const QString model = u.model.isEmpty() ? QStringLiteral("(no answer)") : u.model;
        out += QStringLiteral("unit %1  slot %2  %3\n").arg(u.unit).arg(u.slot).arg(model).toUtf8();
    }
    return out;
}

QByteArray unitListJson(const QList<ListedUnit> &units)
{
    QJsonArray list;
    for (const ListedUnit &u : units) {
        QJsonObject o;
        o.insert(QStringLiteral("unit"), u.unit);
        o.insert(QStringLiteral("slot"), u.slot);
        o.insert(QStringLiteral("model"), u.model.isEmpty() ? QJsonValue() : QJsonValue(u.model));
        list.append(o);
    }
    QJsonObject root;
    root.insert(QStringLiteral("units"), list);
    return compact(root);
}

QByteArray unitInfoText(const UnitInfo &info)
{
    QString out;
    if (info.unit >= 0 && info.slot >= 0)
        out += QStringLiteral("Unit:          %1 (slot %2)\n").arg(info.unit).arg(info.slot);
    out += QStringLiteral("Product:       %1\n").arg(info.product);
    out += QStringLiteral("Firmware:      %1\n").arg(firmwareText(info.version, info.build));
    if (!info.buildDate.isEmpty() || !info.buildTime.isEmpty())
        out += QStringLiteral("Built:         %1 %2\n").arg(info.buildDate, info.buildTime);
    out += QStringLiteral("Sample rate:   %1\n").arg(sampleRateText(info.sampleRate));
    if (info.hasSerial)
        out += QStringLiteral("Serial number: %1\n").arg(info.serial.isEmpty() ? QStringLiteral("-------") : info.serial);
    if (info.hasRecFunction)
        out += QStringLiteral("Rec function:  %1\n").arg(hexBytes(info.recFunction));
    return out.toUtf8();
}

QByteArray unitInfoJson(const UnitInfo &info)
{
    // The same fields whichever way the unit was reached; a slot not known is null.
    QJsonObject o;
    o.insert(QStringLiteral("unit"), info.unit);
    o.insert(QStringLiteral("slot"), info.slot >= 0 ? QJsonValue(info.slot) : QJsonValue());
    o.insert(QStringLiteral("product"), info.product);
    o.insert(QStringLiteral("version"), int(info.version));
    o.insert(QStringLiteral("build"), int(info.build));
    o.insert(QStringLiteral("firmware"), firmwareText(info.version, info.build));
    o.insert(QStringLiteral("sample_rate"), qint64(info.sampleRate));
    o.insert(QStringLiteral("serial"), info.hasSerial ? QJsonValue(info.serial) : QJsonValue());
    if (!info.buildDate.isEmpty() || !info.buildTime.isEmpty()) {
        o.insert(QStringLiteral("build_date"), info.buildDate);
        o.insert(QStringLiteral("build_time"), info.buildTime);
    }
    if (info.hasRecFunction) {
        QJsonArray bytes;
        for (char b : info.recFunction)
            bytes.append(int(uint8_t(b)));
        o.insert(QStringLiteral("rec_function"), bytes);
    }
    return compact(o);
}
