#include "config/configuration.h"

#include <algorithm>

#include "config/numbers.h"

namespace vanter {

Configuration Configuration::defaults() {
    Configuration config;
    config.port = std::string(kPortEntries[0]);
    config.resetLevel = 0;
    for (SlotSettings& slot : config.slots) {
        slot.memoryType = 4; // "27010"
        slot.fileFormat = kBinaryFormat;
        slot.offset = "0x0000";
    }
    config.slots[0].enabled = true;
    return config;
}

bool Configuration::anyEnabled() const noexcept {
    return std::ranges::any_of(slots, [](const SlotSettings& slot) { return slot.enabled; });
}

std::int32_t portNumber(std::string_view portText) {
    const int position = listPosition(kPortEntries, portText);
    return position >= 0 ? position + 1 : toInteger(portText);
}

} // namespace vanter
