#include "script.h"

#include <array>
#include <charconv>
#include <optional>

#include "parts/parts.h"

namespace vanter::standin {

namespace {

// The script names parts and formats by their codes, from 1 to the length of each list.
constexpr int kFirstCode = parts::scriptCode(0);
constexpr int kLastPartCode = parts::scriptCode(static_cast<int>(parts::kParts.size()) - 1);
constexpr int kLastFormatCode = parts::scriptCode(static_cast<int>(parts::kFormatNames.size()) - 1);

// Splits into lines at LF, dropping the CR of a CR LF. A CR anywhere else, or a text that does
// not split cleanly, gives nullopt.
std::optional<std::vector<std::string_view>> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        const bool last = end == std::string_view::npos;
        if (last) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        if (!last && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.find('\r') != std::string_view::npos) {
            return std::nullopt;
        }
        // One line end after the last line is tolerated: it leaves no line of its own.
        if (!(last && line.empty() && !lines.empty())) {
            lines.push_back(line);
        }
        if (last) {
            break;
        }
        start = end + 1;
    }
    return lines;
}

// An optional "-" and one to ten decimal digits, nothing else.
std::optional<long long> parseDecimal(std::string_view line) noexcept {
    const std::size_t digits = line.size() - (line.starts_with('-') ? 1 : 0);
    if (digits == 0 || digits > 10) {
        return std::nullopt;
    }
    long long value = 0;
    const char* end = line.data() + line.size();
    const auto [stop, error] = std::from_chars(line.data(), end, value);
    if (error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

std::string quoted(std::string_view line) {
    return "'" + std::string(line) + "'";
}

Verdict fault(std::int32_t code, std::string reason) {
    return {code, std::move(reason)};
}

// Reads a decimal line in [low, high]: not a number is a malformed script, a number out of
// range is `rangeCode`.
Verdict decimalInRange(std::string_view line, std::string_view what, long long low, long long high,
                       std::int32_t rangeCode, int& value) {
    const std::optional<long long> number = parseDecimal(line);
    if (!number) {
        return fault(kScriptMalformed,
                     std::string(what) + " line " + quoted(line) + " is not a decimal number");
    }
    if (*number < low || *number > high) {
        return fault(rangeCode, std::string(what) + " " + quoted(line) + " is not " +
                                    std::to_string(low) + " to " + std::to_string(high));
    }
    value = static_cast<int>(*number);
    return {};
}

} // namespace

std::optional<std::uint32_t> parseHexDigits(std::string_view text) noexcept {
    if (text.empty() || text.size() > 8) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, 16);
    if (error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

bool isUsbPort(std::int32_t port) noexcept {
    return port == 5;
}

bool isPrinterPort(std::int32_t port) noexcept {
    return (port >= 1 && port <= 4) || (port >= 0x100 && port <= 0xFFFC && port % 4 == 0);
}

Verdict parseScript(std::string_view text, Script& script) {
    if (text.empty()) {
        return fault(kScriptMalformed, "the script is empty");
    }
    const auto split = splitLines(text);
    if (!split) {
        return fault(kScriptMalformed, "a carriage return stands outside a line end");
    }
    const std::vector<std::string_view>& lines = *split;
    std::size_t next = 0;
    auto take = [&]() -> std::optional<std::string_view> {
        if (next >= lines.size()) {
            return std::nullopt;
        }
        return lines[next++];
    };

    Script result;
    const auto portLine = take();
    const std::optional<std::uint32_t> port = parseHexDigits(*portLine);
    if (!port) {
        return fault(kScriptMalformed,
                     "port line " + quoted(*portLine) + " is not a hexadecimal number");
    }
    result.port = static_cast<std::int32_t>(*port);
    if (!isValidPort(result.port)) {
        return fault(kBadPort, "port " + quoted(*portLine) +
                                   " is neither 1 to 5 nor a printer-port I/O address");
    }

    const auto resetLine = take();
    if (!resetLine) {
        return fault(kScriptMalformed, "the script ends before the reset line");
    }
    if (Verdict v = decimalInRange(*resetLine, "reset level", 0, 1, kBadReset, result.reset);
        !v.ok()) {
        return v;
    }

    std::array<bool, 4> named{};
    for (;;) {
        if (lines.size() - next < 6) {
            return fault(kScriptMalformed, result.units.empty()
                                               ? "the script holds no complete unit record"
                                               : "the script ends inside a unit record");
        }
        UnitRecord unit;
        if (Verdict v = decimalInRange(*take(), "slot", 0, 3, kBadSlot, unit.slot); !v.ok()) {
            return v;
        }
        if (named[static_cast<std::size_t>(unit.slot)]) {
            return fault(kBadSlot, "slot " + std::to_string(unit.slot) + " is named twice");
        }
        named[static_cast<std::size_t>(unit.slot)] = true;
        if (Verdict v = decimalInRange(*take(), "memory type", kFirstCode, kLastPartCode,
                                       kBadMemoryType, unit.memoryType);
            !v.ok()) {
            return v;
        }
        if (Verdict v = decimalInRange(*take(), "file format", kFirstCode, kLastFormatCode,
                                       kBadFormat, unit.fileFormat);
            !v.ok()) {
            return v;
        }
        const std::string_view offsetLine = *take();
        const std::optional<std::uint32_t> offset = parseHexDigits(offsetLine);
        if (!offset) {
            return fault(kBadOffset, "loading offset " + quoted(offsetLine) +
                                         " is not 1 to 8 hexadecimal digits");
        }
        unit.offset = *offset;
        unit.fileName = std::string(*take());
        result.units.push_back(std::move(unit));

        const std::string_view continuation = *take();
        if (continuation == "Y") {
            continue;
        }
        if (continuation != "N") {
            return fault(kScriptMalformed,
                         "continuation line " + quoted(continuation) + " is neither Y nor N");
        }
        if (next != lines.size()) {
            return fault(kScriptMalformed, "text follows the final N");
        }
        break;
    }
    script = std::move(result);
    return {};
}

} // namespace vanter::standin
