#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "fs/file_error.h"

namespace vanter {

// A text that the integer conversion rejects: "'%s' is not a valid integer value".
class ConversionError : public Error {
public:
    explicit ConversionError(std::string_view text);
    const std::string& text() const noexcept { return text_; }

private:
    std::string text_;
};

} // namespace vanter
