// The stand-in driver's strict reading of the download script: any bytes give either a script
// within the documented ranges or one of the documented failure codes with a reason, never a
// crash. An accepted script, written out again by the stand-in's rules or by the program's own
// configuration writer, reads back the same.

#include <algorithm>
#include <set>
#include <string>
#include <string_view>

#include "config/configuration.h"
#include "config/errors.h"
#include "config/in3_file.h"
#include "config/numbers.h"
#include "fuzz_check.h"
#include "script.h"
#include "text/hex.h"

namespace {

using namespace vanter::standin;

bool same(const Script& a, const Script& b) {
    if (a.port != b.port || a.reset != b.reset || a.units.size() != b.units.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.units.size(); ++i) {
        const UnitRecord& x = a.units[i];
        const UnitRecord& y = b.units[i];
        if (x.slot != y.slot || x.memoryType != y.memoryType || x.fileFormat != y.fileFormat ||
            x.offset != y.offset || x.fileName != y.fileName) {
            return false;
        }
    }
    return true;
}

std::string render(const Script& script) {
    std::string text = vanter::text::toHex(script.port) + "\r\n" + std::to_string(script.reset);
    for (std::size_t i = 0; i < script.units.size(); ++i) {
        const UnitRecord& unit = script.units[i];
        text += "\r\n" + std::to_string(unit.slot) + "\r\n" + std::to_string(unit.memoryType) +
                "\r\n" + std::to_string(unit.fileFormat) + "\r\n" +
                vanter::text::toHex(unit.offset) + "\r\n" + unit.fileName + "\r\n" +
                (i + 1 < script.units.size() ? "Y" : "N");
    }
    return text;
}

// The configuration the program would hold for the script: the units in slot order, since
// the writer writes them so.
vanter::Configuration asConfiguration(const Script& script) {
    vanter::Configuration config;
    config.port = script.port >= 1 && script.port <= 5
                      ? std::string(vanter::kPortEntries[static_cast<std::size_t>(script.port - 1)])
                      : "0x" + vanter::text::toHex(script.port);
    config.resetLevel = script.reset;
    for (const UnitRecord& unit : script.units) {
        config.slots[static_cast<std::size_t>(unit.slot)] = {
            true, unit.memoryType - 1, unit.fileFormat - 1, vanter::text::toHex(unit.offset),
            unit.fileName};
    }
    return config;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vanter::fuzz::asText(data, size);
    Script sentinel;
    sentinel.port = -7;
    sentinel.units.push_back({3, 2, 1, 0xABCu, "sentinel"});
    Script script = sentinel;
    const Verdict verdict = parseScript(text, script);

    if (!verdict.ok()) {
        FUZZ_CHECK(verdict.code >= kScriptMalformed && verdict.code <= kBadOffset);
        FUZZ_CHECK(!verdict.reason.empty());
        FUZZ_CHECK(same(script, sentinel));
        return 0;
    }
    FUZZ_CHECK(verdict.reason.empty());
    FUZZ_CHECK(isValidPort(script.port));
    FUZZ_CHECK(script.reset == 0 || script.reset == 1);
    FUZZ_CHECK(!script.units.empty() && script.units.size() <= 4);
    std::set<int> slots;
    for (const UnitRecord& unit : script.units) {
        FUZZ_CHECK(unit.slot >= 0 && unit.slot <= 3);
        FUZZ_CHECK(slots.insert(unit.slot).second);
        FUZZ_CHECK(unit.memoryType >= 1 && unit.memoryType <= 15);
        FUZZ_CHECK(unit.fileFormat >= 1 && unit.fileFormat <= 3);
        FUZZ_CHECK(unit.fileName.find_first_of("\r\n") == std::string::npos);
    }

    Script again;
    FUZZ_CHECK(parseScript(render(script), again).ok());
    FUZZ_CHECK(same(again, script));

    // The program's writer produces a script the stand-in takes, for every value it can hold.
    const vanter::Configuration config = asConfiguration(script);
    std::string written;
    try {
        written = vanter::formatConfiguration(config);
    } catch (const vanter::FileError&) {
        // A file name with Ctrl-Z, or longer than a line of the configuration file.
        FUZZ_CHECK(std::any_of(script.units.begin(), script.units.end(), [](const UnitRecord& u) {
            return u.fileName.find('\x1A') != std::string::npos ||
                   u.fileName.size() > vanter::kMaxLineLength;
        }));
        return 0;
    }
    Script fromWriter;
    FUZZ_CHECK(parseScript(written, fromWriter).ok());
    script.port = vanter::portNumber(config.port); // a typed 0x378 is the list entry "0x378"
    std::sort(script.units.begin(), script.units.end(),
              [](const UnitRecord& a, const UnitRecord& b) { return a.slot < b.slot; });
    FUZZ_CHECK(same(fromWriter, script));
    return 0;
}
