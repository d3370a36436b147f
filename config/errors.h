#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace vanter {

// Every error the core raises derives from this; its what() is the text the user sees.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text that the integer conversion rejects: "'%s' is not a valid integer value".
class ConversionError : public Error {
public:
    explicit ConversionError(std::string_view text);
    const std::string& text() const noexcept { return text_; }

private:
    std::string text_;
};

// A value that the configuration file can't hold, or a file that can't be read or written.
class FileError : public Error {
public:
    using Error::Error;
};

} // namespace vanter
