#pragma once

// The failure of a download or of reading the state folder, with the stand-in's result code.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

#include "emulator/images/image_error.h"

namespace vanter::standin {

// A download that failed: the image of the unit in slot() did not load (failure() says why),
// or the unit memories could not be written to the state folder (slot() -1, no failure()); or
// a manifest in the state folder that can't be read (slot() -1, no failure()).
// what() reads "<image file>: line <n>: <reason>" or "<state folder or file>: <reason>".
class ChainError : public std::runtime_error {
public:
    ChainError(int slot, const images::ImageError& error);
    ChainError(const std::filesystem::path& folder, const std::string& reason);

    int slot() const noexcept { return slot_; }
    std::optional<images::LoadFailure> failure() const noexcept { return failure_; }
    // The stand-in's result code (result_codes.h).
    std::int32_t code() const noexcept;
    // The image file, or the state folder.
    const std::string& file() const noexcept { return file_; }
    std::size_t line() const noexcept { return line_; }
    const std::string& reason() const noexcept { return reason_; }

private:
    int slot_;
    std::optional<images::LoadFailure> failure_;
    std::string file_;
    std::size_t line_ = 0;
    std::string reason_;
};

} // namespace vanter::standin
