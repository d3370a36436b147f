#include "image_error.h"

namespace vanter::images {

namespace {

std::string describe(const std::string& file, std::size_t line, const std::string& reason) {
    std::string text = file;
    if (line != 0) {
        text += ": line " + std::to_string(line);
    }
    return text + ": " + reason;
}

} // namespace

ImageError::ImageError(LoadFailure failure, std::string file, std::size_t line, std::string reason)
    : std::runtime_error(describe(file, line, reason)), failure_(failure), file_(std::move(file)),
      line_(line), reason_(std::move(reason)), message_(describe(file_, line_, reason_)) {}

} // namespace vanter::images
