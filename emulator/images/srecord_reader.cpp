#include "srecord_reader.h"

#include <array>

#include "hex_digits.h"
#include "image_error.h"

namespace vanter::images {

namespace {

constexpr std::size_t kMaxRecord = 1 + 255; // count and the bytes it counts

// Address bytes of each record type S0 to S9; 0 for the reserved S4.
constexpr std::array<std::size_t, 10> kAddressBytes{2, 2, 3, 4, 0, 2, 3, 4, 3, 2};

class SRecordParser {
public:
    SRecordParser(ByteSource& source, std::uint32_t offset, MemoryImage& memory)
        : lines_(source), sink_(memory, ImageFormat::sRecord, offset, source.name()) {}

    LoadNotes run() {
        std::string_view line;
        while (lines_.next(line)) {
            if (!line.empty()) {
                record(line);
            }
        }
        if (!terminated_) {
            sink_.warn(0, "no termination record (S7, S8 or S9); the file may be cut short");
        }
        sink_.finish();
        return sink_.takeNotes();
    }

private:
    [[noreturn]] void fail(LoadFailure failure, const std::string& reason) const {
        throw ImageError(failure, sink_.file(), lines_.lineNumber(), reason);
    }

    void record(std::string_view line) {
        if (line.front() != 'S') {
            fail(LoadFailure::malformedRecord,
                 "a record starts with 'S', this line with " + detail::describeChar(line.front()));
        }
        if (line.size() < 2) {
            fail(LoadFailure::malformedRecord, "record type missing after 'S'");
        }
        const char typeChar = line[1];
        const std::string_view digits = line.substr(2);
        if (digits.size() % 2 != 0) {
            fail(LoadFailure::malformedRecord,
                 "odd number of hexadecimal digits (" + std::to_string(digits.size()) + ")");
        }
        const std::size_t size = digits.size() / 2;
        if (size < 2) {
            fail(LoadFailure::malformedRecord, "record too short: no byte count and checksum");
        }
        if (size > kMaxRecord) {
            fail(LoadFailure::malformedRecord,
                 "record too long: " + std::to_string(size) + " bytes, at most 256 possible");
        }
        unsigned sum = 0;
        const std::size_t bad = detail::decodeHex(digits, bytes_.data(), sum);
        if (bad != digits.size()) {
            fail(LoadFailure::malformedRecord, detail::describeChar(digits[bad]) + " at column " +
                                                   std::to_string(bad + 3) +
                                                   " is not a hexadecimal digit");
        }
        const std::size_t count = bytes_[0];
        if (size != count + 1) {
            fail(LoadFailure::malformedRecord, "the byte count says " + std::to_string(count) +
                                                   " bytes follow it, the record holds " +
                                                   std::to_string(size - 1));
        }
        const unsigned given = bytes_[size - 1];
        sum -= given;
        const unsigned wanted = ~sum & 0xFF;
        if (given != wanted) {
            fail(LoadFailure::badChecksum,
                 "checksum " + hexText(given) + ", the bytes call for " + hexText(wanted));
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
        if (terminated_ && !warnedAfterEnd_ && type != 0) {
            sink_.warn(lines_.lineNumber(), "record after the termination record");
            warnedAfterEnd_ = true;
        }
        switch (type) {
        case 0: // header: free text
            return;
        case 1:
        case 2:
        case 3:
            ++dataRecords_;
            if (std::uint64_t{address} + data.size() > 0x100000000ULL) {
                fail(LoadFailure::malformedRecord,
                     "data at " + hexText(address) + " runs past address 0xffffffff");
            }
            sink_.put(address, data, lines_.lineNumber());
            return;
        case 5:
        case 6:
            expectNoData(type, data);
            if (address != dataRecords_) {
                fail(LoadFailure::recordCountMismatch,
                     "S" + std::to_string(type) + " counts " + std::to_string(address) +
                         " data records, the file has " + std::to_string(dataRecords_) +
                         " before it");
            }
            return;
        default: // 7, 8, 9
            // Once per file: a file of many such records must not bring as many warnings.
            if (!data.empty() && !warnedEndData_) {
                sink_.warn(lines_.lineNumber(), "data in the termination record ignored");
                warnedEndData_ = true;
            }
            terminated_ = true;
            return;
        }
    }

    void expectNoData(int type, std::span<const std::uint8_t> data) const {
        if (!data.empty()) {
            fail(LoadFailure::malformedRecord, "an S" + std::to_string(type) +
                                                   " record holds no data, this one " +
                                                   std::to_string(data.size()) + " bytes");
        }
    }

    LineReader lines_;
    ImageSink sink_;
    std::array<std::uint8_t, kMaxRecord> bytes_{};
    std::uint64_t dataRecords_ = 0;
    bool terminated_ = false;
    bool warnedAfterEnd_ = false;
    bool warnedEndData_ = false;
};

} // namespace

LoadNotes SRecordReader::load(ByteSource& source, std::uint32_t offset, MemoryImage& memory) const {
    return SRecordParser(source, offset, memory).run();
}

} // namespace vanter::images
