#include "chain.h"

#include <cstdlib>
#include <string>
#include <string_view>

#include "script.h"

namespace vanter::standin {

namespace {

std::optional<std::string_view> variable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string_view(value);
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

Verdict badSetting(const char* name, std::string_view value, const char* expected) {
    return {kBadSimulationSetting,
            std::string(name) + "='" + std::string(value) + "' is malformed: " + expected};
}

// Calls `each` for every comma-separated item; an empty text has no items.
template <typename Each> bool forEachItem(std::string_view text, Each each) {
    if (trim(text).empty()) {
        return true;
    }
    for (;;) {
        const std::size_t comma = text.find(',');
        if (!each(trim(text.substr(0, comma)))) {
            return false;
        }
        if (comma == std::string_view::npos) {
            return true;
        }
        text.remove_prefix(comma + 1);
    }
}

std::optional<int> unitNumber(std::string_view item) {
    if (item.size() != 1 || item[0] < '0' || item[0] > '3') {
        return std::nullopt;
    }
    return item[0] - '0';
}

// Hexadecimal digits with an optional 0x, at most such that 256 + address fits in a result.
std::optional<std::uint32_t> faultAddress(std::string_view text) {
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
    }
    const std::optional<std::uint32_t> value = parseHexDigits(text);
    if (!value || *value > 0x7FFFFFFFu - kMemoryFaultBase) {
        return std::nullopt;
    }
    return value;
}

Verdict readSwitch(const char* name, bool& on) {
    const auto value = variable(name);
    if (!value || value->empty() || *value == "0") {
        on = false;
        return {};
    }
    if (*value == "1") {
        on = true;
        return {};
    }
    return badSetting(name, *value, "expected 1, 0 or nothing");
}

} // namespace

Verdict Chain::link(std::int32_t port) const {
    if (isUsbPort(port) && usbFails) {
        return {kUsbFailed, "the USB link fails (VANTER_SIM_USB_FAIL)"};
    }
    if (isPrinterPort(port) && noPrinterDriver) {
        return {kNoPrinterDriver, "the printer-port driver is missing (VANTER_SIM_NO_LPT)"};
    }
    return {};
}

Verdict Chain::find(int slot) const {
    if (!present[static_cast<std::size_t>(slot)]) {
        return {kUnitNotFound,
                "unit #" + std::to_string(slot) + " is not present (VANTER_SIM_UNITS)"};
    }
    return {};
}

Verdict readChain(Chain& chain) {
    Chain result;
    if (const auto units = variable("VANTER_SIM_UNITS")) {
        result.present.fill(false);
        const bool ok = forEachItem(*units, [&](std::string_view item) {
            const auto unit = unitNumber(item);
            if (unit) {
                result.present[static_cast<std::size_t>(*unit)] = true;
            }
            return unit.has_value();
        });
        if (!ok) {
            return badSetting("VANTER_SIM_UNITS", *units,
                              "expected unit numbers 0 to 3 "
                              "separated by commas");
        }
    }
    if (Verdict v = readSwitch("VANTER_SIM_NO_LPT", result.noPrinterDriver); !v.ok()) {
        return v;
    }
    if (Verdict v = readSwitch("VANTER_SIM_USB_FAIL", result.usbFails); !v.ok()) {
        return v;
    }
    if (const auto faults = variable("VANTER_SIM_FAULT")) {
        const bool ok = forEachItem(*faults, [&](std::string_view item) {
            const std::size_t colon = item.find(':');
            if (colon == std::string_view::npos) {
                return false;
            }
            const auto unit = unitNumber(trim(item.substr(0, colon)));
            const auto address = faultAddress(trim(item.substr(colon + 1)));
            if (!unit || !address) {
                return false;
            }
            result.faultAddress[static_cast<std::size_t>(*unit)] = *address;
            return true;
        });
        if (!ok) {
            return badSetting("VANTER_SIM_FAULT", *faults,
                              "expected unit:hex address items separated by commas, e.g. 2:1f00");
        }
    }
    chain = result;
    return {};
}

} // namespace vanter::standin
