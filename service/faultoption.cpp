#include "faultoption.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "sim/faultlist.h"

namespace {

QString listError(const QByteArray &list)
{
    std::vector<sim::FaultRule> rules;
    std::string error;
    if (sim::parseFaultList(list.toStdString(), &rules, &error))
        return QString();
    return QString::fromStdString(error);
}

} // namespace

namespace FaultOption {

const char kVariable[] = "STRATA_SIMULATE_FAULTS";

QString environmentError(bool simulated)
{
    const char *list = std::getenv(kVariable);
    if (!simulated || !list)
        return QString();
    const QString error = listError(QByteArray(list));
    return error.isEmpty() ? error : QStringLiteral("%1: %2").arg(QLatin1String(kVariable), error);
}

QString applyList(const QString &list, const QString &optionName)
{
    const QByteArray bytes = list.toLocal8Bit();
    const QString error = listError(bytes);
    if (!error.isEmpty())
        return QStringLiteral("%1: %2").arg(optionName, error);
    setenv(kVariable, bytes.constData(), 1);
    return QString();
}

} // namespace FaultOption
