#include "config/in3_file.h"

#include <algorithm>
#include <cstdint>
#include <istream>
#include <limits>
#include <optional>
#include <string_view>

#include "config/errors.h"
#include "config/numbers.h"
#include "fs/atomic_file.h"
#include "fs/regular_file.h"
#include "text/hex.h"

namespace vanter {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr char kCtrlZ = '\x1A';

void checkStorable(std::string_view value, std::string_view what, int slot) {
    const std::string subject = std::string(what) + " of VANTER #" + std::to_string(slot);
    // A line break or Ctrl-Z would read back as a different configuration.
    if (value.find_first_of(std::string_view("\r\n\x1A", 3)) != std::string_view::npos) {
        throw FileError("Cannot store the " + subject +
                        ": it contains a carriage return, line feed or Ctrl-Z character");
    }
    if (value.size() > kMaxLineLength) {
        throw FileError("Cannot store the " + subject + ": it is longer than " +
                        std::to_string(kMaxLineLength) + " characters");
    }
}

// Hands out the lines of a configuration text one at a time, without holding more than one.
class LineReader {
public:
    LineReader(std::istream& in, const std::filesystem::path* source)
        : buffer_(in ? in.rdbuf() : nullptr), source_(source) {}

    // The next line without its line end; CR is dropped anywhere, Ctrl-Z ends the input like
    // the end of the file, and past the end every line reads as empty.
    std::string next() {
        ++lineNumber_;
        std::string line;
        if (buffer_ == nullptr) {
            return line;
        }
        for (;;) {
            const int ch = buffer_->sbumpc();
            if (ch != std::char_traits<char>::eof() && ++bytesTaken_ > kMaxConfigurationSize) {
                throw tooLarge();
            }
            if (ch == std::char_traits<char>::eof() || ch == kCtrlZ) {
                buffer_ = nullptr;
                return line;
            }
            if (ch == '\n') {
                return line;
            }
            if (ch == '\r') {
                continue;
            }
            if (line.size() == kMaxLineLength) {
                throw tooLong();
            }
            line.push_back(static_cast<char>(ch));
        }
    }

private:
    FileError error(const std::string& problem) const {
        if (source_ != nullptr) {
            return FileError("Cannot read '" + source_->string() + "': " + problem);
        }
        return FileError("Configuration " + problem);
    }

    FileError tooLarge() const {
        const std::string size = std::to_string(kMaxConfigurationSize) + " bytes";
        if (source_ != nullptr) {
            return FileError("Cannot read '" + source_->string() + "': the file is longer than " +
                             size + " (not a configuration file)");
        }
        return FileError("Configuration is longer than " + size);
    }

    FileError tooLong() const {
        return error("line " + std::to_string(lineNumber_) + " is longer than " +
                     std::to_string(kMaxLineLength) + " characters");
    }

    std::streambuf* buffer_;
    const std::filesystem::path* source_;
    std::size_t lineNumber_ = 0;
    std::size_t bytesTaken_ = 0;
};

// Decimal value of a line: leading white space, one sign, then digits up to the first other
// character; no digit gives 0. Values beyond 32 bits saturate.
std::int64_t decimalValue(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() &&
           std::string_view(" \t\n\v\f\r").find(line[i]) != std::string_view::npos) {
        ++i;
    }
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) {
        negative = line[i] == '-';
        ++i;
    }
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
        value = std::min(value * 10 + (line[i] - '0'), kLimit);
    }
    if (negative) {
        return -value;
    }
    return std::min<std::int64_t>(value, std::numeric_limits<std::int32_t>::max());
}

// A position outside the list selects nothing.
int selectPosition(std::int64_t position, std::size_t listSize) {
    return position >= 0 && position < static_cast<std::int64_t>(listSize)
               ? static_cast<int>(position)
               : -1;
}

void readFrom(std::istream& in, Configuration& config, const std::filesystem::path* source) {
    // Work on a copy so that an error leaves the caller's configuration as it was.
    Configuration result = config;
    LineReader lines(in, source);

    const std::string formed = "0x" + lines.next();
    const std::int32_t n = toInteger(formed);
    if (n <= 0) {
        result.port.clear();
    } else if (n <= static_cast<std::int32_t>(kPortEntries.size())) {
        result.port = std::string(kPortEntries[static_cast<std::size_t>(n - 1)]);
    } else {
        result.port = formed;
    }

    result.resetLevel = selectPosition(decimalValue(lines.next()), kResetEntries.size());

    do {
        const std::int64_t slotNumber = decimalValue(lines.next());
        if (slotNumber < 0 || slotNumber >= kSlotCount) {
            continue; // its value lines are not skipped: the next line is the continuation
        }
        SlotSettings& slot = result.slots[static_cast<std::size_t>(slotNumber)];
        slot.enabled = true; // the reader never unchecks a slot
        // Script codes count from 1 (see parts::scriptCode); the 64-bit value is not narrowed.
        slot.memoryType = selectPosition(decimalValue(lines.next()) - 1, kMemoryTypes.size());
        slot.fileFormat = selectPosition(decimalValue(lines.next()) - 1, kFileFormats.size());
        slot.offset = lines.next();
        slot.fileName = lines.next();
    } while (lines.next().starts_with('Y'));

    config = std::move(result);
}

} // namespace

std::string formatConfiguration(const Configuration& config) {
    std::string text;
    const int position = listPosition(kPortEntries, config.port);
    text += position >= 0 ? std::to_string(position + 1) : text::toHex(toInteger(config.port));
    text += kLineEnd;
    text += std::to_string(config.resetLevel);
    text += kLineEnd;

    for (int k = 0; k < kSlotCount; ++k) {
        const SlotSettings& slot = config.slots[static_cast<std::size_t>(k)];
        if (!slot.enabled) {
            continue;
        }
        checkStorable(slot.fileName, "file name", k);
        text += std::to_string(k);
        text += kLineEnd;
        text += std::to_string(parts::scriptCode(slot.memoryType));
        text += kLineEnd;
        text += std::to_string(parts::scriptCode(slot.fileFormat));
        text += kLineEnd;
        text += text::toHex(offsetValue(slot.offset));
        text += kLineEnd;
        text += slot.fileName;
        const bool moreFollow = std::any_of(config.slots.begin() + k + 1, config.slots.end(),
                                            [](const SlotSettings& s) { return s.enabled; });
        if (moreFollow) {
            text += kLineEnd;
            text += "Y";
            text += kLineEnd;
        }
    }
    text += kLineEnd;
    text += "N";
    return text;
}

void writeConfigurationFile(const std::filesystem::path& target, const Configuration& config,
                            LockedFolder locked) {
    writeFileAtomically(target, formatConfiguration(config), locked);
}

void readConfiguration(std::istream& in, Configuration& config) {
    readFrom(in, config, nullptr);
}

void readConfigurationFile(const std::filesystem::path& source, Configuration& config) {
    RegularFile file(source);
    readConfigurationFile(file, source, config);
}

void readConfigurationFile(RegularFile& file, const std::filesystem::path& source,
                           Configuration& config) {
    std::istream in(file.isOpen() ? &file : nullptr); // nothing to read: reads as empty
    readFrom(in, config, &source);
}

} // namespace vanter
