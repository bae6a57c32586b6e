#include "ui/modeltable.h"

namespace panel {

const std::array<ModelInfo, 4> kModels = {{
    {"Strata 96", "label_Strata96_info", ":/Resource/logo/Strata96_logo.svg", 172,
     "label_Strata96photo", ":/Resource/strata96.png", QRect(99, 114, 441, 306), true, true, "strata_96"},
    {"Strata 10", "label_Strata10_info", ":/Resource/logo/Strata10_logo.svg", 122,
     "label_Strata10photo", ":/Resource/strata10.png", QRect(30, 10, 552, 486), false, false, "strata_10"},
    {"Strata 14", "label_Strata14_info", ":/Resource/logo/Strata14_logo.svg", 122,
     "label_Strata14photo", ":/Resource/strata14.png", QRect(30, 10, 552, 486), false, false, "strata_14"},
    {"Strata 20", "label_Strata20_info", ":/Resource/logo/Strata20_logo.svg", 132,
     "label_Strata20photo", ":/Resource/strata20.png", QRect(35, 0, 552, 486), false, false, "strata_20"},
}};

const ModelInfo *findModel(const QString &name)
{
    for (const ModelInfo &model : kModels) {
        if (name == QLatin1String(model.deviceName))
            return &model;
    }
    return nullptr;
}

} // namespace panel
