#include "byte_source.h"

#include <algorithm>
#include <cstring>

#include "image_error.h"

namespace vanter::images {

std::size_t MemorySource::read(std::span<char> buffer) {
    const std::size_t n = std::min(buffer.size(), bytes_.size());
    std::memcpy(buffer.data(), bytes_.data(), n);
    bytes_.remove_prefix(n);
    return n;
}

namespace {

bool isBlank(char c) noexcept {
    return c == ' ' || c == '\t' || c == '\r';
}

std::size_t firstCapacity(const ByteSource& source) {
    const std::optional<std::uint64_t> size = source.size();
    if (!size) {
        return LineReader::kBlockSize;
    }
    // One more than the size, so that the read which finds the end has room.
    return static_cast<std::size_t>(
        std::clamp<std::uint64_t>(*size + 1, LineReader::kMinBlock, LineReader::kBlockSize));
}

} // namespace

LineReader::LineReader(ByteSource& source) : source_(source), capacity_(firstCapacity(source)) {
    buffer_ = std::make_unique_for_overwrite<char[]>(capacity_);
}

bool LineReader::refill() {
    const std::size_t kept = end_ - begin_;
    if (begin_ != 0) {
        std::memmove(buffer_.get(), buffer_.get() + begin_, kept);
        begin_ = 0;
        end_ = kept;
    }
    if (end_ == capacity_) {
        // A line fills the buffer; it is at most kMaxLine long, so kBlockSize always has room.
        capacity_ = std::min(2 * capacity_, kBlockSize);
        auto grown = std::make_unique_for_overwrite<char[]>(capacity_);
        std::memcpy(grown.get(), buffer_.get(), end_);
        buffer_ = std::move(grown);
    }
    const std::size_t got = source_.read(std::span<char>(buffer_.get() + end_, capacity_ - end_));
    end_ += got;
    return got != 0;
}

bool LineReader::next(std::string_view& line) {
    for (;;) {
        const char* start = buffer_.get() + begin_;
        const std::size_t available = end_ - begin_;
        const auto* newline = static_cast<const char*>(std::memchr(start, '\n', available));
        std::size_t length = 0;
        if (newline != nullptr) {
            length = static_cast<std::size_t>(newline - start);
            begin_ += length + 1;
        } else if (atEnd_) {
            if (available == 0) {
                return false;
            }
            length = available;
            begin_ = end_;
        } else {
            if (available > kMaxLine) {
                throw ImageError(LoadFailure::malformedRecord, source_.name(), lineNumber_ + 1,
                                 "line longer than " + std::to_string(kMaxLine) +
                                     " characters (not a text image file?)");
            }
            atEnd_ = !refill();
            continue;
        }
        ++lineNumber_;
        if (length > kMaxLine) {
            throw ImageError(LoadFailure::malformedRecord, source_.name(), lineNumber_,
                             "line longer than " + std::to_string(kMaxLine) +
                                 " characters (not a text image file?)");
        }
        if (length > 0 && start[0] == '\x1A') {
            atEnd_ = true;
            begin_ = end_;
            return false;
        }
        while (length > 0 && isBlank(start[length - 1])) {
            --length;
        }
        while (length > 0 && isBlank(*start)) {
            ++start;
            --length;
        }
        line = std::string_view(start, length);
        return true;
    }
}

} // namespace vanter::images
