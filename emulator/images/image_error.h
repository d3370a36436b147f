#pragma once

// Why an image could not be loaded into a unit's memory. The numbers are the driver's result
// codes for these failures: 0x40 to 0x4F, clear of the codes with a fixed meaning (0, -1, 146,
// 153) and of the stand-in's own (0xE1 up), and below 256, so that the program shows them as
// "Download Fail# 42".

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vanter::images {

enum class LoadFailure : std::int32_t {
    fileMissing = 0x40,         // no file of that name (or no name at all)
    fileUnreadable = 0x41,      // a folder, no permission, or a read error
    malformedRecord = 0x42,     // not a record of the format: syntax, length, field sizes
    badChecksum = 0x43,         // the record's checksum does not match its bytes
    unknownRecordType = 0x44,   // Intel HEX type above 05, S4 or S followed by a non-digit
    recordCountMismatch = 0x45, // an S5/S6 count differs from the data records before it
    beforePartStart = 0x46,     // data below the part's first address
    pastPartEnd = 0x47,         // data beyond the part's last address
    contradictoryData = 0x48,   // a second, different value for an address already loaded
    imageTooLarge = 0x49,       // the image spans more bytes than the part holds
    stateNotWritten = 0x4A,     // the unit memories could not be written to the state folder
};

// The result code of a failure (what SayHello returns).
constexpr std::int32_t resultCode(LoadFailure failure) noexcept {
    return static_cast<std::int32_t>(failure);
}

// A short name of the failure, as the transcript shows it ("bad checksum").
std::string_view failureName(LoadFailure failure) noexcept;

// A load failure: which file, which line (0 when the failure has no line, such as a missing
// file or a binary image), and what is wrong. message() reads "<file>: line <n>: <reason>";
// what() the same up to its first NUL byte, which a file name read from a file may hold.
class ImageError : public std::runtime_error {
public:
    ImageError(LoadFailure failure, std::string file, std::size_t line, std::string reason);

    LoadFailure failure() const noexcept { return failure_; }
    std::int32_t code() const noexcept { return resultCode(failure_); }
    const std::string& file() const noexcept { return file_; }
    std::size_t line() const noexcept { return line_; }
    const std::string& reason() const noexcept { return reason_; }
    const std::string& message() const noexcept { return message_; }

private:
    LoadFailure failure_;
    std::string file_;
    std::size_t line_;
    std::string reason_;
    std::string message_;
};

} // namespace vanter::images
