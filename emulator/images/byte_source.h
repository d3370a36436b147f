#pragma once

// Where a reader takes an image file's bytes from: any source that hands them over block by
// block, such as a buffer already in memory; whoever opens files makes a source of its own.
// Text readers see the bytes line by line through LineReader.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vanter::images {

class ByteSource {
public:
    virtual ~ByteSource() = default;

    // Reads up to buffer.size() bytes into buffer; returns how many, 0 at the end.
    // Throws ImageError (fileUnreadable) when the bytes can't be read.
    virtual std::size_t read(std::span<char> buffer) = 0;

    // The total number of bytes, when known beforehand.
    virtual std::optional<std::uint64_t> size() const { return std::nullopt; }

    // The name failures are reported under.
    virtual const std::string& name() const = 0;
};

// Bytes in memory, read as if they were a file of the given name.
class MemorySource : public ByteSource {
public:
    MemorySource(std::string_view bytes, std::string name)
        : bytes_(bytes), name_(std::move(name)) {}

    std::size_t read(std::span<char> buffer) override;
    std::optional<std::uint64_t> size() const override { return bytes_.size(); }
    const std::string& name() const override { return name_; }

private:
    std::string_view bytes_;
    std::string name_;
};

// Splits a source into lines without copying them more than once. A line ends at LF; a CR
// before it, and any blank or tab at either end, is not part of the line. A byte 1A (Ctrl-Z)
// at the start of a line ends the input, as DOS editors leave it.
class LineReader {
public:
    // The buffer starts at the size of the input (at least kMinBlock), grows while a line does
    // not fit, and reads at most kBlockSize at a time: a short file costs a short buffer.
    static constexpr std::size_t kMinBlock = 256;
    static constexpr std::size_t kBlockSize = 256 * 1024;
    // Longest line accepted; records of both text formats are far shorter.
    static constexpr std::size_t kMaxLine = 64 * 1024;

    explicit LineReader(ByteSource& source);

    // The next line, trimmed; false at the end of the input. Throws ImageError
    // (malformedRecord) for a line longer than kMaxLine.
    bool next(std::string_view& line);

    // Number of the line last returned, from 1.
    std::size_t lineNumber() const noexcept { return lineNumber_; }

private:
    bool refill();

    ByteSource& source_;
    std::unique_ptr<char[]> buffer_; // only [begin_, end_) is ever read
    std::size_t capacity_ = 0;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
    std::size_t lineNumber_ = 0;
};

} // namespace vanter::images
