#pragma once

// The errors of the file layer, which every error of the core derives from.

#include <stdexcept>
#include <string>

namespace vanter {

// Every error the core raises derives from this; message() is the text the user sees. what()
// holds the same text but ends at its first NUL byte, which a text read from a file may hold.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message), message_(message) {}

    const std::string& message() const noexcept { return message_; }

private:
    std::string message_;
};

// A value that the configuration file can't hold, or a file that can't be read or written.
class FileError : public Error {
public:
    using Error::Error;
};

} // namespace vanter
