#include "image_error.h"

namespace vanter::images {

std::string_view failureName(LoadFailure failure) noexcept {
    switch (failure) {
    case LoadFailure::fileMissing:
        return "image file missing";
    case LoadFailure::fileUnreadable:
        return "image file unreadable";
    case LoadFailure::malformedRecord:
        return "malformed record";
    case LoadFailure::badChecksum:
        return "bad checksum";
    case LoadFailure::unknownRecordType:
        return "unknown record type";
    case LoadFailure::recordCountMismatch:
        return "record count mismatch";
    case LoadFailure::beforePartStart:
        return "data before the start of the part";
    case LoadFailure::pastPartEnd:
        return "data past the end of the part";
    case LoadFailure::contradictoryData:
        return "contradictory data";
    case LoadFailure::imageTooLarge:
        return "image larger than the part";
    case LoadFailure::stateNotWritten:
        return "unit memory not written";
    }
    return "load failure";
}

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
