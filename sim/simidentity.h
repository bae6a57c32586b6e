// What each model's firmware reports about itself out of the box.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/simunit.h"

namespace sim {

struct Identity {
    std::string productName;
    uint16_t version;
    uint16_t build;
    std::string buildDate;
    std::string buildTime;
    std::vector<uint8_t> productSig;
    std::string serial; // empty: the model has no serial number
    std::vector<uint8_t> recFunc;
};

Identity defaultIdentity(Model model);

} // namespace sim
