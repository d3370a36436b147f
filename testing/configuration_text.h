#pragma once

// Readable failure output for configurations, for Google Test (PrintTo) and Qt Test alike.

#include <ostream>
#include <sstream>
#include <string>

#include "config/configuration.h"

namespace vanter::testing {

inline std::string describe(const SlotSettings& slot) {
    std::ostringstream text;
    text << "{enabled " << slot.enabled << ", memoryType " << slot.memoryType << ", fileFormat "
         << slot.fileFormat << ", offset '" << slot.offset << "', fileName '"
         << (slot.fileName.size() > 40
                 ? slot.fileName.substr(0, 40) + "...(" + std::to_string(slot.fileName.size()) + ")"
                 : slot.fileName)
         << "'}";
    return text.str();
}

inline std::string describe(const Configuration& config) {
    std::string text = "{port '" + config.port + "', reset " + std::to_string(config.resetLevel);
    for (const SlotSettings& slot : config.slots) {
        text += ", " + describe(slot);
    }
    return text + "}";
}

} // namespace vanter::testing

namespace vanter {

inline void PrintTo(const SlotSettings& slot, std::ostream* out) {
    *out << testing::describe(slot);
}

inline void PrintTo(const Configuration& config, std::ostream* out) {
    *out << testing::describe(config);
}

} // namespace vanter
