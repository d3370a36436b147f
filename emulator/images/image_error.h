#pragma once

// Why an image could not be loaded into a part's memory. The kinds say nothing of who reads
// the image: the stand-in driver gives each its result code, the command-line program shows the
// message.

#include <cstddef>
#include <stdexcept>
#include <string>

namespace vanter::images {

enum class LoadFailure {
    fileMissing,         // no file of that name (or no name at all)
    fileUnreadable,      // a folder, no permission, or a read error
    malformedRecord,     // not a record of the format: syntax, length, field sizes
    badChecksum,         // the record's checksum does not match its bytes
    unknownRecordType,   // Intel HEX type above 05, S4 or S followed by a non-digit
    recordCountMismatch, // an S5/S6 count differs from the data records before it
    beforePartStart,     // data below the part's first address
    pastPartEnd,         // data beyond the part's last address
    contradictoryData,   // a second, different value for an address already loaded
    imageTooLarge,       // the image spans more bytes than the part holds
};

// A load failure: which file, which line (0 when the failure has no line, such as a missing
// file or a binary image), and what is wrong. message() reads "<file>: line <n>: <reason>";
// what() the same up to its first NUL byte, which a file name read from a file may hold.
class ImageError : public std::runtime_error {
public:
    ImageError(LoadFailure failure, std::string file, std::size_t line, std::string reason);

    LoadFailure failure() const noexcept { return failure_; }
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
