#include "map_command.h"

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "describe.h"
#include "emulator/images/image_reader.h"
#include "exit_status.h"
#include "terminal_text.h"
#include "text/hex.h"
#include "validate.h"

namespace vanter::cli {

namespace {

using images::AddressRange;
using text::hexText;

constexpr std::uint32_t kBarCells = 64;
constexpr std::size_t kMostSegmentLines = 12;

struct Segment {
    AddressRange range;
    bool data;
};

// The part from 0 to its last address: data ranges and the erased gaps between them, in order.
std::vector<Segment> segments(const UnitContents& unit) {
    std::vector<Segment> out;
    std::uint64_t next = 0;
    for (const AddressRange& range : unit.ranges) {
        if (range.first > next) {
            out.push_back({{static_cast<std::uint32_t>(next), range.first - 1}, false});
        }
        out.push_back({range, true});
        next = std::uint64_t{range.last} + 1;
    }
    if (next < unit.size) {
        out.push_back({{static_cast<std::uint32_t>(next), unit.size - 1}, false});
    }
    return out;
}

// One cell per 1/64 of the part: '#' all data, '+' some, '.' none.
std::string bar(const UnitContents& unit) {
    const std::uint64_t cell = std::max<std::uint64_t>(1, unit.size / kBarCells);
    std::string text;
    auto range = unit.ranges.begin();
    for (std::uint64_t start = 0; start < unit.size; start += cell) {
        const std::uint64_t end = std::min<std::uint64_t>(start + cell, unit.size); // exclusive
        std::uint64_t loaded = 0;
        while (range != unit.ranges.end() && range->last < start) {
            ++range;
        }
        for (auto r = range; r != unit.ranges.end() && r->first < end; ++r) {
            loaded += std::min<std::uint64_t>(r->last + 1, end) -
                      std::max<std::uint64_t>(r->first, start);
        }
        text += loaded == 0 ? '.' : loaded == end - start ? '#' : '+';
    }
    return text;
}

std::string segmentLine(const Segment& s) {
    const std::uint64_t count = std::uint64_t{s.range.last} - s.range.first + 1;
    return std::string(s.data ? "data   " : "erased ") + hexText(s.range.first) + " to " +
           hexText(s.range.last) + " (" + std::to_string(count) +
           (count == 1 ? " byte)" : " bytes)");
}

std::string unitText(const SlotFinding& slot) {
    const UnitContents& unit = *slot.contents;
    std::string text = "VANTER #" + std::to_string(slot.slot) + ": " + slot.text + "\n";
    text += "  " + hexText(0) + " [" + bar(unit) + "] " + hexText(unit.size - 1) + "\n";
    const std::vector<Segment> all = segments(unit);
    const std::size_t shown = all.size() <= kMostSegmentLines ? all.size() : kMostSegmentLines - 1;
    for (std::size_t i = 0; i < shown; ++i) {
        text += "  " + segmentLine(all[i]) + "\n";
    }
    if (shown < all.size()) {
        text += "  ... " + std::to_string(all.size() - shown) +
                " more ranges (--json lists them all)\n";
    }
    text += "  " + checksumText(unit.checksums) + "\n";
    for (const std::string& warning : slot.warnings) {
        text += "  warning: " + warning + "\n";
    }
    return text;
}

std::string rangesJson(const std::vector<Segment>& all, bool data) {
    std::string text;
    for (const Segment& s : all) {
        if (s.data == data) {
            text += std::string(text.empty() ? "\n" : ",\n") +
                    "        {\"first\": " + std::to_string(s.range.first) +
                    ", \"last\": " + std::to_string(s.range.last) + "}";
        }
    }
    return text.empty() ? "[]" : "[" + text + "\n      ]";
}

std::string stringsJson(const std::vector<std::string>& texts) {
    std::string text;
    for (const std::string& t : texts) {
        text += (text.empty() ? "" : ", ") + jsonString(t);
    }
    return "[" + text + "]";
}

std::string unitJson(const SlotFinding& slot, const SlotSettings& settings) {
    std::string text = "    {\n      \"slot\": " + std::to_string(slot.slot) + ",\n" +
                       "      \"fileName\": " + jsonString(settings.fileName) + ",\n";
    if (!slot.contents) {
        return text + "      \"problem\": " + jsonString(slot.text) + "\n    }";
    }
    const UnitContents& unit = *slot.contents;
    const std::vector<Segment> all = segments(unit);
    text += "      \"memoryType\": " + jsonString(unit.part) + ",\n";
    text += "      \"partSize\": " + std::to_string(unit.size) + ",\n";
    text += "      \"bytesLoaded\": " + std::to_string(unit.bytesLoaded) + ",\n";
    text += "      \"ranges\": " + rangesJson(all, true) + ",\n";
    text += "      \"gaps\": " + rangesJson(all, false) + ",\n";
    text += "      \"byteSum\": " + std::to_string(unit.checksums.sum) + ",\n";
    text += "      \"crc32\": " + std::to_string(unit.checksums.crc) + ",\n";
    text += "      \"warnings\": " + stringsJson(slot.warnings) + "\n    }";
    return text;
}

std::string mapJson(const Configuration& config, const Validation& validation) {
    std::string text = "{\n  \"problems\": " + stringsJson(validation.problems) + ",\n";
    text += "  \"units\": [";
    for (std::size_t i = 0; i < validation.slots.size(); ++i) {
        const SlotFinding& slot = validation.slots[i];
        text += (i == 0 ? "\n" : ",\n") +
                unitJson(slot, config.slots[static_cast<std::size_t>(slot.slot)]);
    }
    text += validation.slots.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return text;
}

} // namespace

int runMapCommand(const Configuration& config, bool json, std::ostream& out, std::ostream& err) {
    if (!config.anyEnabled()) {
        err << kNoVanterSelected << std::endl;
        return kExitConfiguration;
    }
    const Validation validation = validateConfiguration(config);
    std::string problems;
    for (const std::string& problem : validation.problems) {
        problems += problem + "\n";
    }
    std::string text;
    for (const SlotFinding& slot : validation.slots) {
        if (slot.contents) {
            text += unitText(slot);
        } else {
            problems += "VANTER #" + std::to_string(slot.slot) + ": " + slot.text + "\n";
        }
    }
    if (!text.empty()) {
        text += "Bars: 64 cells across the part; # all data, + some data, . erased (0xff)\n";
    }
    // JSON has escapes of its own for control characters.
    out << (json ? mapJson(config, validation) : terminalText(text)) << std::flush;
    err << terminalText(problems) << std::flush;
    return validation.ok() ? kExitOk : kExitInvalidImage;
}

} // namespace vanter::cli
