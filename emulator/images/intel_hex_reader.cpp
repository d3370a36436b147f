#include "intel_hex_reader.h"

#include "text/hex.h"
#include "text_record.h"

namespace vanter::images {

namespace {

constexpr detail::RecordLayout kLayout{
    .format = parts::ImageFormat::intelHex,
    .start = ':',
    .headLength = 1,
    .headMissing = "",
    .overhead = 5, // count, address (2), type, checksum
    .fewestBytes = 5,
    .tooShort =
        [](std::size_t bytes) {
            return "record too short: " + std::to_string(bytes) + " bytes, at least 5 needed";
        },
    .counted = "data bytes",
    .missingEnd = "no end-of-file record (type 01); the file may be cut short",
};

class HexParser final : public detail::RecordParser<HexParser, kLayout> {
public:
    using RecordParser::RecordParser;

    bool record(std::string_view, std::size_t size, unsigned sum) {
        const std::size_t count = bytes_[0];
        if ((sum & 0xFF) != 0) {
            const unsigned given = bytes_[size - 1];
            fail(LoadFailure::badChecksum, "checksum " + text::hexText(given) +
                                               ", the bytes call for " +
                                               text::hexText((given - sum) & 0xFF));
        }
        const unsigned address = (unsigned{bytes_[1]} << 8) | bytes_[2];
        const std::uint8_t* data = bytes_.data() + 4;
        switch (const unsigned type = bytes_[3]) {
        case 0x00:
            this->data(address, {data, count});
            return true;
        case 0x01:
            expectCount(type, count, 0);
            ended_ = true;
            return false;
        case 0x02:
            expectCount(type, count, 2);
            base_ = ((std::uint32_t{data[0]} << 8) | data[1]) << 4;
            segmented_ = true;
            return true;
        case 0x04:
            expectCount(type, count, 2);
            base_ = ((std::uint32_t{data[0]} << 8) | data[1]) << 16;
            segmented_ = false;
            return true;
        case 0x03:
        case 0x05:
            // Start addresses say where the target begins to run; they load nothing.
            expectCount(type, count, 4);
            return true;
        default:
            fail(LoadFailure::unknownRecordType,
                 "record type " + text::hexText(type) + " is none of 00 to 05");
        }
    }

private:
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
                 "data at " + text::hexText(first) + " runs past address 0xffffffff");
        }
        sink_.put(first, bytes, line);
    }

    std::uint32_t base_ = 0;
    bool segmented_ = false;
};

} // namespace

LoadNotes IntelHexReader::load(ByteSource& source, std::uint32_t offset,
                               MemoryImage& memory) const {
    return HexParser(source, offset, memory).run();
}

} // namespace vanter::images
