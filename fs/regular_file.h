#pragma once

// Reading a file the user named, whatever the name turns out to be. Opening a named pipe waits
// for a writer, a terminal for a key, and some devices never end; so only a regular file is
// read, and finding out what the name is never waits.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <streambuf>
#include <string>
#include <vector>

namespace vanter {

// A regular file opened for reading; also a stream buffer, for readers that take one.
class RegularFile : public std::streambuf {
public:
    enum class Status {
        open,
        missing,    // no such file, or a folder on the way is not one
        folder,     // a folder of that name
        notRegular, // a named pipe, a device, a socket: refused unopened or unread
        failed,     // anything else, such as no permission: reason() says what
    };

    explicit RegularFile(const std::filesystem::path& path);
    ~RegularFile() override;
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    Status status() const noexcept { return status_; }
    bool isOpen() const noexcept { return status_ == Status::open; }

    // Why the file is not open, as the user reads it ("No such file or directory", "it is a
    // folder", "it is not a regular file"); empty when it is open.
    std::string problem() const;
    // The system's words for a missing or failed file, or a failed read ("Permission denied").
    std::string reason() const;

    // The size when opened.
    std::uint64_t size() const noexcept { return size_; }

    // Reads up to buffer.size() bytes; 0 at the end and after a read error.
    std::size_t read(std::span<char> buffer);
    // Reads the rest of the file into `text`, but no more than maxSize + 1 bytes, so that a
    // file over the limit shows as text.size() > maxSize whatever its size. False after a read
    // error (reason() says why).
    bool readAll(std::string& text, std::size_t maxSize);
    bool readFailed() const noexcept { return readFailed_; }

protected:
    int_type underflow() override;

private:
    int descriptor_ = -1;
    Status status_ = Status::failed;
    int error_ = 0; // the system's error number behind missing and failed
    std::uint64_t size_ = 0;
    bool readFailed_ = false;
    std::vector<char> buffer_; // only when read as a stream buffer
};

} // namespace vanter
