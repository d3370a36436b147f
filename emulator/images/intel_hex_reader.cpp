#include "intel_hex_reader.h"

#include <array>

#include "hex_digits.h"
#include "image_error.h"

namespace vanter::images {

namespace {

constexpr std::size_t kMaxRecord = 5 + 255; // count, address (2), type, data, checksum

class HexParser {
public:
    HexParser(ByteSource& source, std::uint32_t offset, MemoryImage& memory)
        : lines_(source), sink_(memory, ImageFormat::intelHex, offset, source.name()) {}

    LoadNotes run() {
        std::string_view line;
        bool ended = false;
        while (!ended && lines_.next(line)) {
            if (!line.empty()) {
                ended = record(line);
            }
        }
        if (!ended) {
            sink_.warn(0, "no end-of-file record (type 01); the file may be cut short");
        }
        sink_.finish();
        return sink_.takeNotes();
    }

private:
    [[noreturn]] void fail(LoadFailure failure, const std::string& reason) const {
        throw ImageError(failure, sink_.file(), lines_.lineNumber(), reason);
    }

    // One record; true for the end-of-file record.
    bool record(std::string_view line) {
        if (line.front() != ':') {
            fail(LoadFailure::malformedRecord,
                 "a record starts with ':', this line with " + detail::describeChar(line.front()));
        }
        const std::string_view digits = line.substr(1);
        if (digits.size() % 2 != 0) {
            fail(LoadFailure::malformedRecord,
                 "odd number of hexadecimal digits (" + std::to_string(digits.size()) + ")");
        }
        const std::size_t size = digits.size() / 2;
        if (size < 5) {
            fail(LoadFailure::malformedRecord,
                 "record too short: " + std::to_string(size) + " bytes, at least 5 needed");
        }
        if (size > kMaxRecord) {
            fail(LoadFailure::malformedRecord,
                 "record too long: " + std::to_string(size) + " bytes, at most 260 possible");
        }
        unsigned sum = 0;
        const std::size_t bad = detail::decodeHex(digits, bytes_.data(), sum);
        if (bad != digits.size()) {
            fail(LoadFailure::malformedRecord, detail::describeChar(digits[bad]) + " at column " +
                                                   std::to_string(bad + 2) +
                                                   " is not a hexadecimal digit");
        }
        const std::size_t count = bytes_[0];
        if (size != count + 5) {
            fail(LoadFailure::malformedRecord, "the byte count says " + std::to_string(count) +
                                                   " data bytes, the record holds " +
                                                   std::to_string(size - 5));
        }
        if ((sum & 0xFF) != 0) {
            const unsigned given = bytes_[size - 1];
            fail(LoadFailure::badChecksum, "checksum " + hexText(given) + ", the bytes call for " +
                                               hexText((given - sum) & 0xFF));
        }
        const unsigned address = (unsigned{bytes_[1]} << 8) | bytes_[2];
        const std::uint8_t* data = bytes_.data() + 4;
        switch (const unsigned type = bytes_[3]) {
        case 0x00:
            this->data(address, {data, count});
            return false;
        case 0x01:
            expectCount(type, count, 0);
            return true;
        case 0x02:
            expectCount(type, count, 2);
            base_ = ((std::uint32_t{data[0]} << 8) | data[1]) << 4;
            segmented_ = true;
            return false;
        case 0x04:
            expectCount(type, count, 2);
            base_ = ((std::uint32_t{data[0]} << 8) | data[1]) << 16;
            segmented_ = false;
            return false;
        case 0x03:
        case 0x05:
            // Start addresses say where the target begins to run; they load nothing.
            expectCount(type, count, 4);
            return false;
        default:
            fail(LoadFailure::unknownRecordType,
                 "record type " + hexText(type) + " is none of 00 to 05");
        }
    }

    void expectCount(unsigned type, std::size_t count, std::size_t wanted) const {
        if (count != wanted) {
            fail(LoadFailure::malformedRecord,
                 "a type 0" + std::to_string(type) + " record holds " + std::to_string(wanted) +
                     " data bytes, this one " + std::to_string(count));
        }
    }

    void data(unsigned address, std::span<const std::uint8_t> bytes) {
        const std::size_t line = lines_.lineNumber();
        if (segmented_ && address + bytes.size() > 0x10000) {
            // Within a segment the 16-bit address wraps to the segment's start.
            const std::size_t head = 0x10000 - address;
            sink_.put(std::uint64_t{base_} + address, bytes.first(head), line);
            sink_.put(base_, bytes.subspan(head), line);
            return;
        }
        const std::uint64_t first = std::uint64_t{base_} + address;
        if (first + bytes.size() > 0x100000000ULL) {
            fail(LoadFailure::malformedRecord,
                 "data at " + hexText(first) + " runs past address 0xffffffff");
        }
        sink_.put(first, bytes, line);
    }

    LineReader lines_;
    ImageSink sink_;
    std::array<std::uint8_t, kMaxRecord> bytes_{};
    std::uint32_t base_ = 0;
    bool segmented_ = false;
};

} // namespace

LoadNotes IntelHexReader::load(ByteSource& source, std::uint32_t offset,
                               MemoryImage& memory) const {
    return HexParser(source, offset, memory).run();
}

} // namespace vanter::images
