// The four models the panel recognises, by the exact product name the unit
// reports, and what each changes in the window.
#pragma once

#include <QRect>
#include <QString>

#include <array>

namespace panel {

struct ModelInfo {
    const char *deviceName;     // product name, compared case-sensitively
    const char *logoLabel;      // object names on the information page
    const char *logoResource;
    int logoWidth;              // at the design size
    const char *photoLabel;
    const char *photoResource;
    QRect photoRect;            // at the design size
    bool meterPage;             // meter page and serial number offered
    bool firmwareCheck;         // the update service checks its firmware
    const char *webWord;        // model word of the product web pages
};

extern const std::array<ModelInfo, 4> kModels;

// The model whose device name is exactly `name`, or null.
const ModelInfo *findModel(const QString &name);

} // namespace panel
