#pragma once

// What the two text formats (Intel HEX, S-records) share, internal to their readers: lines of
// records, each a start character, a head, then hexadecimal digit pairs from a byte count to a
// checksum. On little-endian machines eight digits are decoded at a time in a 64-bit word;
// elsewhere, and for the last few digits, one character at a time through a table.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "image_error.h"
#include "image_reader.h"
#include "text/hex_digits.h"

namespace vanter::images::detail {

inline constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
inline constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
inline constexpr std::uint64_t kLowBytes = 0x00FF00FF00FF00FFULL;

// Bytes of x (each below 0x80) that lie in [low, high]: 0x80 in each such byte.
constexpr std::uint64_t inRange(std::uint64_t x, unsigned low, unsigned high) noexcept {
    return (x + (0x80 - low) * kOnes) & ~(x + (0x7F - high) * kOnes) & kHigh;
}

// Eight digits (read as a little-endian word) to four bytes. Adds each byte to its 16-bit lane
// of `lanes` for the checksum. False when any of the eight is not a hexadecimal digit.
inline bool decode8(const char* digits, std::uint8_t* out, std::uint64_t& lanes) noexcept {
    std::uint64_t x;
    std::memcpy(&x, digits, 8);
    const std::uint64_t ascii = ~x & kHigh;
    const std::uint64_t digit = inRange(x, '0', '9');
    const std::uint64_t letter = inRange(x | 0x2020202020202020ULL, 'a', 'f');
    if (((digit | letter) & ascii) != kHigh) {
        return false;
    }
    const std::uint64_t nibbles = (x & 0x0F0F0F0F0F0F0F0FULL) + (letter >> 7) * 9;
    // The first digit of each pair is the high nibble: pairs become bytes in 16-bit lanes.
    std::uint64_t v = ((nibbles & kLowBytes) << 4) | ((nibbles >> 8) & kLowBytes);
    lanes += v;
    v = (v | (v >> 8)) & 0x0000FFFF0000FFFFULL;
    v = (v | (v >> 16)) & 0xFFFFFFFFULL;
    const auto four = static_cast<std::uint32_t>(v);
    std::memcpy(out, &four, 4);
    return true;
}

// Decodes digits.size() / 2 bytes (digits.size() even) into out and adds them up into `sum`.
// Returns the index of the first character that is not a hexadecimal digit, or digits.size()
// when all are (`out` and `sum` are then complete).
inline std::size_t decodeHex(std::string_view digits, std::uint8_t* out, unsigned& sum) noexcept {
    const std::size_t count = digits.size() / 2;
    std::size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::uint64_t lanes = 0;
        bool ok = true;
        for (; i + 4 <= count && ok; i += 4) {
            ok = decode8(digits.data() + 2 * i, out + i, lanes);
        }
        if (!ok) {
            i -= 4; // the scan below finds the culprit
        }
        lanes = (lanes & 0x0000FFFF0000FFFFULL) + ((lanes >> 16) & 0x0000FFFF0000FFFFULL);
        sum += static_cast<unsigned>((lanes & 0xFFFFFFFFULL) + (lanes >> 32));
    }
    unsigned bad = 0;
    for (; i < count; ++i) {
        const unsigned high = text::kHexDigitValue[static_cast<unsigned char>(digits[2 * i])];
        const unsigned low = text::kHexDigitValue[static_cast<unsigned char>(digits[2 * i + 1])];
        bad |= high | low;
        out[i] = static_cast<std::uint8_t>((high << 4) | (low & 0x0F));
        sum += out[i];
    }
    if ((bad & 0xF0) == 0) {
        return digits.size();
    }
    for (std::size_t k = 0; k < digits.size(); ++k) {
        if (text::kHexDigitValue[static_cast<unsigned char>(digits[k])] == 0xFF) {
            return k;
        }
    }
    return digits.size();
}

// A character as a failure text shows it: 'x', or its code.
inline std::string describeChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7F) {
        return std::string("'") + c + "'";
    }
    constexpr char digits[] = "0123456789abcdef";
    return std::string("byte 0x") + digits[u >> 4] + digits[u & 0x0F];
}

// How a format's records look in text.
struct RecordLayout {
    parts::ImageFormat format;
    char start;                   // the first character of every record
    std::size_t headLength;       // characters before the digit pairs (start and type)
    std::string_view headMissing; // the failure for a line shorter than its head
    std::size_t overhead;         // bytes of a record beside those its byte count counts
    std::size_t fewestBytes;
    std::string (*tooShort)(std::size_t bytes); // the failure for fewer bytes
    std::string_view counted;                   // what the byte count counts, as its failure says
    std::string_view missingEnd;                // the warning for a file without an end record
};

// Reads the records of one file into a memory: the lines, the failures, and each record's
// preamble (start, digits, length, byte count). `Format` derives from it and says what the
// bytes mean in `bool record(std::string_view line, std::size_t size, unsigned sum)`: a record
// of `size` bytes, decoded into bytes_ and adding up to `sum`; false when the file ends with
// it. The layout is known when compiling, so the preamble compiles for each format on its own.
template <typename Format, const RecordLayout& layout> class RecordParser {
public:
    RecordParser(ByteSource& source, std::uint32_t offset, MemoryImage& memory)
        : lines_(source), sink_(memory, layout.format, offset, source.name()) {}

    LoadNotes run() {
        std::string_view line;
        while (lines_.next(line)) {
            if (line.empty()) {
                continue;
            }
            unsigned sum = 0;
            const std::size_t size = decode(line, sum);
            if (!static_cast<Format&>(*this).record(line, size, sum)) {
                break;
            }
        }
        if (!ended_) {
            sink_.warn(0, std::string(layout.missingEnd));
        }
        sink_.finish();
        return sink_.takeNotes();
    }

protected:
    [[noreturn]] void fail(LoadFailure failure, const std::string& reason) const {
        throw ImageError(failure, sink_.file(), lines_.lineNumber(), reason);
    }

    LineReader lines_;
    ImageSink sink_;
    std::array<std::uint8_t, 255 + layout.overhead> bytes_{};
    bool ended_ = false; // an end record was read

private:
    // Checks the record `line` up to its byte count and decodes its digit pairs into bytes_.
    // Returns how many bytes; `sum` is their sum.
    std::size_t decode(std::string_view line, unsigned& sum) {
        if (line.front() != layout.start) {
            fail(LoadFailure::malformedRecord,
                 "a record starts with " + describeChar(layout.start) + ", this line with " +
                     describeChar(line.front()));
        }
        if (line.size() < layout.headLength) {
            fail(LoadFailure::malformedRecord, std::string(layout.headMissing));
        }
        const std::string_view digits = line.substr(layout.headLength);
        if (digits.size() % 2 != 0) {
            fail(LoadFailure::malformedRecord,
                 "odd number of hexadecimal digits (" + std::to_string(digits.size()) + ")");
        }
        const std::size_t size = digits.size() / 2;
        if (size < layout.fewestBytes) {
            fail(LoadFailure::malformedRecord, layout.tooShort(size));
        }
        const std::size_t most = 255 + layout.overhead;
        if (size > most) {
            fail(LoadFailure::malformedRecord, "record too long: " + std::to_string(size) +
                                                   " bytes, at most " + std::to_string(most) +
                                                   " possible");
        }
        sum = 0;
        const std::size_t bad = decodeHex(digits, bytes_.data(), sum);
        if (bad != digits.size()) {
            fail(LoadFailure::malformedRecord, describeChar(digits[bad]) + " at column " +
                                                   std::to_string(bad + layout.headLength + 1) +
                                                   " is not a hexadecimal digit");
        }
        const std::size_t count = bytes_[0];
        if (size != count + layout.overhead) {
            fail(LoadFailure::malformedRecord, "the byte count says " + std::to_string(count) +
                                                   " " + std::string(layout.counted) +
                                                   ", the record holds " +
                                                   std::to_string(size - layout.overhead));
        }
        return size;
    }
};

} // namespace vanter::images::detail
