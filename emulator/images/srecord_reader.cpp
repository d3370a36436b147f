#include "srecord_reader.h"

#include "text/hex.h"
#include "text_record.h"

namespace vanter::images {

namespace {

constexpr detail::RecordLayout kLayout{
    .format = parts::ImageFormat::sRecord,
    .start = 'S',
    .headLength = 2,
    .headMissing = "record type missing after 'S'",
    .overhead = 1, // the count counts the address, the data and the checksum
    .fewestBytes = 2,
    .tooShort =
        [](std::size_t) { return std::string("record too short: no byte count and checksum"); },
    .counted = "bytes follow it",
    .missingEnd = "no termination record (S7, S8 or S9); the file may be cut short",
};

// Address bytes of each record type S0 to S9; 0 for the reserved S4.
constexpr std::array<std::size_t, 10> kAddressBytes{2, 2, 3, 4, 0, 2, 3, 4, 3, 2};

class SRecordParser final : public detail::RecordParser<SRecordParser, kLayout> {
public:
    using RecordParser::RecordParser;

    bool record(std::string_view line, std::size_t size, unsigned sum) {
        const char typeChar = line[1];
        const std::size_t count = bytes_[0];
        const unsigned given = bytes_[size - 1];
        sum -= given;
        const unsigned wanted = ~sum & 0xFF;
        if (given != wanted) {
            fail(LoadFailure::badChecksum, "checksum " + text::hexText(given) +
                                               ", the bytes call for " + text::hexText(wanted));
        }
        if (typeChar < '0' || typeChar > '9' || typeChar == '4') {
            fail(LoadFailure::unknownRecordType,
                 "record type S" + std::string(1, typeChar) + " is none of S0 to S3 and S5 to S9");
        }
        const int type = typeChar - '0';
        const std::size_t addressBytes = kAddressBytes[static_cast<std::size_t>(type)];
        if (count < addressBytes + 1) {
            fail(LoadFailure::malformedRecord,
                 "an S" + std::to_string(type) + " record holds a " + std::to_string(addressBytes) +
                     "-byte address, this one only " + std::to_string(count - 1) + " bytes");
        }
        std::uint32_t address = 0;
        for (std::size_t i = 0; i < addressBytes; ++i) {
            address = (address << 8) | bytes_[1 + i];
        }
        const std::span<const std::uint8_t> data(bytes_.data() + 1 + addressBytes,
                                                 count - 1 - addressBytes);
        if (ended_ && !warnedAfterEnd_ && type != 0) {
            sink_.warn(lines_.lineNumber(), "record after the termination record");
            warnedAfterEnd_ = true;
        }
        switch (type) {
        case 0: // header: free text
            return true;
        case 1:
        case 2:
        case 3:
            ++dataRecords_;
            if (std::uint64_t{address} + data.size() > 0x100000000ULL) {
                fail(LoadFailure::malformedRecord,
                     "data at " + text::hexText(address) + " runs past address 0xffffffff");
            }
            sink_.put(address, data, lines_.lineNumber());
            return true;
        case 5:
        case 6:
            expectNoData(type, data);
            if (address != dataRecords_) {
                fail(LoadFailure::recordCountMismatch,
                     "S" + std::to_string(type) + " counts " + std::to_string(address) +
                         " data records, the file has " + std::to_string(dataRecords_) +
                         " before it");
            }
            return true;
        default: // 7, 8, 9
            // Once per file: a file of many such records must not bring as many warnings.
            if (!data.empty() && !warnedEndData_) {
                sink_.warn(lines_.lineNumber(), "data in the termination record ignored");
                warnedEndData_ = true;
            }
            ended_ = true;
            return true;
        }
    }

private:
    void expectNoData(int type, std::span<const std::uint8_t> data) const {
        if (!data.empty()) {
            fail(LoadFailure::malformedRecord, "an S" + std::to_string(type) +
                                                   " record holds no data, this one " +
                                                   std::to_string(data.size()) + " bytes");
        }
    }

    std::uint64_t dataRecords_ = 0;
    bool warnedAfterEnd_ = false;
    bool warnedEndData_ = false;
};

} // namespace

LoadNotes SRecordReader::load(ByteSource& source, std::uint32_t offset, MemoryImage& memory) const {
    return SRecordParser(source, offset, memory).run();
}

} // namespace vanter::images
