#include "sim/simidentity.h"

#include <cstring>

#include "strata_config.h"

namespace sim {

namespace {

struct ModelRow {
    Model model;
    const char *name;
    const char *shortName;
    uint16_t productId;
    uint16_t version;
    uint16_t build;
    const char *buildDate;
    const char *buildTime;
    const char *signature;
    const char *serial;
};

const ModelRow kModels[] = {
    {Model::Strata96, "Strata 96", "96", STRATA_USB_PID_96, 102, 23, "Nov 12 2025", "10:21:07", "KS96", "S96A00417"},
    {Model::Strata10, "Strata 10", "10", STRATA_USB_PID_10, 105, 31, "Aug 04 2025", "14:02:55", "KS10", ""},
    {Model::Strata14, "Strata 14", "14", STRATA_USB_PID_14, 104, 28, "Sep 22 2025", "09:47:31", "KS14", ""},
    {Model::Strata20, "Strata 20", "20", STRATA_USB_PID_20, 101, 19, "Jun 30 2025", "17:12:40", "KS20", ""},
};

const ModelRow &row(Model model)
{
    for (const ModelRow &r : kModels) {
        if (r.model == model)
            return r;
    }
    return kModels[0];
}

// Rec-function states, one byte per channel strip and one for the main bus:
// 1 lit (armed and recording), 2 blinking (armed, waiting), 0 off.
const uint8_t kRecFunc[23] = {1, 1, 0, 0, 2, 0, 0, 0, 1, 1, 0, 0, 0, 0, 2, 2, 0, 0, 0, 0, 0, 0, 1};

} // namespace

const char *modelName(Model model)
{
    return row(model).name;
}

bool modelFromName(const std::string &name, Model *model)
{
    for (const ModelRow &r : kModels) {
        if (name == r.name || name == r.shortName) {
            if (model)
                *model = r.model;
            return true;
        }
    }
    return false;
}

uint16_t modelProductId(Model model)
{
    return row(model).productId;
}

Identity defaultIdentity(Model model)
{
    const ModelRow &r = row(model);
    Identity identity;
    identity.productName = r.name;
    identity.version = r.version;
    identity.build = r.build;
    identity.buildDate = r.buildDate;
    identity.buildTime = r.buildTime;
    identity.productSig.assign(r.signature, r.signature + std::strlen(r.signature));
    identity.serial = r.serial;
    identity.recFunc.assign(kRecFunc, kRecFunc + sizeof kRecFunc);
    return identity;
}

} // namespace sim
