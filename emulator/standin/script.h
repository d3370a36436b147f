#pragma once

// The download script as the stand-in reads it: the .in3 text that the program writes, checked
// strictly. Lines end in CR LF or LF; one line end after the final "N" is tolerated.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "result_codes.h"

namespace vanter::standin {

struct UnitRecord {
    int slot = 0;             // 0 to 3
    int memoryType = 0;       // script code of the part (parts::scriptCode)
    int fileFormat = 0;       // script code of the format
    std::uint32_t offset = 0; // loading offset
    std::string fileName;
};

struct Script {
    std::int32_t port = 0;         // 1 to 5, or a printer-port I/O address
    int reset = 0;                 // 0 Low, 1 High
    std::vector<UnitRecord> units; // one or more, each slot at most once
};

// Parses `text` into `script`. On failure returns the code of the first fault in file order
// (malformed script, bad port, reset, slot, memory type, format or offset) with its reason.
Verdict parseScript(std::string_view text, Script& script);

// One to eight hexadecimal digits, nothing else (no sign, prefix or blank), as the strict
// hexadecimal fields of the stand-in are written.
std::optional<std::uint32_t> parseHexDigits(std::string_view text) noexcept;

// The ports the stand-in knows: 1 to 4 and printer-port I/O addresses are printer ports,
// 5 is the USB link. An I/O address is accepted from 0x100 to 0xfffc on a four-byte boundary
// (a printer port occupies at least three registers from such a boundary).
bool isUsbPort(std::int32_t port) noexcept;
bool isPrinterPort(std::int32_t port) noexcept;
inline bool isValidPort(std::int32_t port) noexcept {
    return isUsbPort(port) || isPrinterPort(port);
}

} // namespace vanter::standin
