#include "config/errors.h"

namespace vanter {

namespace {

std::string conversionMessage(std::string_view text) {
    // Appended piece by piece: GCC 12 at -O3 warns falsely on "'" + std::string(text).
    std::string message;
    message.reserve(text.size() + 32);
    message.append("'").append(text).append("' is not a valid integer value");
    return message;
}

} // namespace

ConversionError::ConversionError(std::string_view text)
    : Error(conversionMessage(text)), text_(text) {}

} // namespace vanter
