#pragma once

// One download configuration: port, reset level and four unit slots. It represents every
// state the window's controls can show: no entry selected (-1), a typed port text, and
// offset and file name texts exactly as typed.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "values.h"

namespace vanter {

struct SlotSettings {
    bool enabled = false;
    int memoryType = -1; // position in kMemoryTypes, -1 for none
    int fileFormat = -1; // position in kFileFormats, -1 for none
    std::string offset;  // loading offset text, as typed
    std::string fileName;

    bool operator==(const SlotSettings&) const = default;
};

struct Configuration {
    std::string port;    // the port box's text: a list entry or a typed port
    int resetLevel = -1; // position in kResetEntries, -1 for none
    std::array<SlotSettings, kSlotCount> slots{};

    bool operator==(const Configuration&) const = default;

    // The configuration the window starts with when there is no default configuration file.
    static Configuration defaults();

    bool anyEnabled() const noexcept;
};

// Shown by Save, Save As, Download and Check when no slot is enabled.
inline constexpr std::string_view kNoVanterSelected = "No Vanter is selected: Abort!!";

// Port number of a port text: list position + 1 for a list entry (letter case ignored),
// else the integer conversion of the text (may throw ConversionError).
std::int32_t portNumber(std::string_view portText);

} // namespace vanter
