#include "update/updatecheck.h"

#include <QStringList>

#include "service/datamanager.h"
#include "strata_config.h"

namespace UpdateCheck {

bool atStart(bool commandLineAllows)
{
    if (!STRATA_UPDATE_CHECK || !commandLineAllows)
        return false;
    const QString value =
        DataManager::loadSettingString(QStringLiteral("Update"), QStringLiteral("CheckAtStart")).trimmed().toLower();
    return !QStringList{QStringLiteral("false"), QStringLiteral("0"), QStringLiteral("no"), QStringLiteral("off")}
                .contains(value);
}

} // namespace UpdateCheck
