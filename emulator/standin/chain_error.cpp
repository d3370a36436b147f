#include "chain_error.h"

#include "fs/native_name.h"
#include "result_codes.h"

namespace vanter::standin {

namespace fs = std::filesystem;

ChainError::ChainError(int slot, const images::ImageError& error)
    : std::runtime_error(error.what()), slot_(slot), failure_(error.failure()), file_(error.file()),
      line_(error.line()), reason_(error.reason()) {}

ChainError::ChainError(const fs::path& folder, const std::string& reason)
    : std::runtime_error(nativeName(folder) + ": " + reason), slot_(-1), file_(nativeName(folder)),
      reason_(reason) {}

std::int32_t ChainError::code() const noexcept {
    return failure_ ? resultCode(*failure_) : kStateNotWritten;
}

} // namespace vanter::standin
