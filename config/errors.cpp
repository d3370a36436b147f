#include "config/errors.h"

namespace vanter {

ConversionError::ConversionError(std::string_view text)
    : Error("'" + std::string(text) + "' is not a valid integer value"), text_(text) {}

} // namespace vanter
