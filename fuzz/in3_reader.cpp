// The .in3 reader applied to a configuration: any bytes read without a crash, and either the
// configuration is set as far as the text names it or it is left exactly as it was. When the
// result can be written, writing and reading it back gives the same configuration.

#include <sstream>
#include <string>

#include "config/errors.h"
#include "config/in3_file.h"
#include "config/numbers.h"
#include "config/values.h"
#include "fuzz_check.h"
#include "text/hex.h"

namespace {

using namespace vanter;

// A configuration with every kind of value, slots #1 and #3 checked, #0 and #2 not.
Configuration before() {
    Configuration config;
    config.port = "0x2bc";
    config.resetLevel = 1;
    config.slots[0] = {false, 3, kHexFormat, "fff0", "/fw/zero.hex"};
    config.slots[1] = {true, 14, kSRecordFormat, "0x8000", "/fw/one.s19"};
    config.slots[2] = {false, -1, -1, "", ""};
    config.slots[3] = {true, 0, kBinaryFormat, " -FF", "C:\\fw\\three.bin"};
    return config;
}

bool inRange(int position, std::size_t listSize) {
    return position >= -1 && position < static_cast<int>(listSize);
}

// Port number, where a typed value that spells a list entry once written as "0x<hex>" counts as
// that entry: the reader shows a stored 378 as 0x378, which is the list entry "0x378".
std::int32_t portAsReadBack(const std::string& port) {
    const std::int32_t number = portNumber(port);
    const int entry = listPosition(kPortEntries, "0x" + text::toHex(number));
    return entry >= 0 ? entry + 1 : number;
}

Configuration readText(const std::string& text, Configuration config) {
    std::istringstream in(text);
    readConfiguration(in, config);
    return config;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(fuzz::asText(data, size));
    const Configuration start = before();

    Configuration read = start;
    try {
        std::istringstream in(text);
        readConfiguration(in, read);
    } catch (const ConversionError&) {
        FUZZ_CHECK(read == start);
        return 0;
    } catch (const FileError&) {
        FUZZ_CHECK(read == start);
        return 0;
    }

    FUZZ_CHECK(inRange(read.resetLevel, kResetEntries.size()));
    for (std::size_t k = 0; k < read.slots.size(); ++k) {
        const SlotSettings& slot = read.slots[k];
        // The reader never unchecks a slot; a slot it did not name keeps everything.
        FUZZ_CHECK(slot.enabled || slot == start.slots[k]);
        FUZZ_CHECK(inRange(slot.memoryType, kMemoryTypes.size()));
        FUZZ_CHECK(inRange(slot.fileFormat, kFileFormats.size()));
        FUZZ_CHECK(slot.offset.size() <= kMaxLineLength);
        FUZZ_CHECK(slot.fileName.size() <= kMaxLineLength);
        FUZZ_CHECK(slot.fileName.find_first_of(std::string("\r\n\x1A", 3)) == std::string::npos);
    }

    // Round trip. A port box left empty (port line 0 or negative) can't be written.
    std::string written;
    try {
        written = formatConfiguration(read);
    } catch (const ConversionError&) {
        FUZZ_CHECK(read.port.empty());
        return 0;
    }
    const Configuration back = readText(written, Configuration{});
    FUZZ_CHECK(back.resetLevel == read.resetLevel);
    FUZZ_CHECK(portAsReadBack(back.port) == portAsReadBack(read.port));
    for (std::size_t k = 0; k < read.slots.size(); ++k) {
        const SlotSettings& was = read.slots[k];
        const SlotSettings& is = back.slots[k];
        FUZZ_CHECK(is.enabled == was.enabled);
        if (!was.enabled) {
            FUZZ_CHECK(is == SlotSettings{});
            continue;
        }
        FUZZ_CHECK(is.memoryType == was.memoryType);
        FUZZ_CHECK(is.fileFormat == was.fileFormat);
        FUZZ_CHECK(is.fileName == was.fileName);
        // The offset comes back as the bare hexadecimal value, which the offset check accepts.
        FUZZ_CHECK(is.offset == text::toHex(offsetValue(was.offset)));
        FUZZ_CHECK(offsetValue(is.offset) == offsetValue(was.offset));
        FUZZ_CHECK(isAcceptableOffset(is.offset));
    }
    // Past the port line the writer reproduces its own text; after one more round (a typed
    // 0x03bc comes back as the list entry 0x3BC) the port line is stable too.
    const std::string again = formatConfiguration(back);
    FUZZ_CHECK(again.substr(again.find('\n')) == written.substr(written.find('\n')));
    FUZZ_CHECK(formatConfiguration(readText(again, Configuration{})) == again);
    return 0;
}
