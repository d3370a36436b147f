#pragma once

// The image file readers. Each format has one reader; all of them place the file's data in a
// MemoryImage through an ImageSink, which applies the offset and checks that the data fits the
// part. Failures are thrown as ImageError with the file, the line and what is wrong.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "byte_source.h"
#include "memory_image.h"
#include "parts/parts.h"

namespace vanter::images {

// What a successful load leaves besides the memory: remarks on things that were tolerated
// (a missing end record, records after the termination record), each with its line.
struct LoadNotes {
    std::vector<std::string> warnings;
};

// Takes the data records of one image file and places them in the part's memory. A record at
// file address A goes to memory address A + shift: the binary rule puts byte i at offset + i,
// the address rule of the record formats puts address A at A - offset.
//
// Data outside the part does not stop the reading: the sink notes the first such record and the
// span of all data, so that finish() can tell an image larger than the part from one that is
// merely misplaced. A contradiction stops the reading at once.
class ImageSink {
public:
    ImageSink(MemoryImage& memory, parts::ImageFormat format, std::uint32_t offset,
              std::string file);

    // Places `data` from file address `address` on; `line` is 0 for binary files.
    void put(std::uint64_t address, std::span<const std::uint8_t> data, std::size_t line);

    // Throws the failure for data that did not fit, if there was any.
    void finish() const;

    void warn(std::size_t line, std::string text);
    LoadNotes takeNotes() { return std::move(notes_); }

    const std::string& file() const noexcept { return file_; }

private:
    struct Misplaced {
        std::size_t line;
        std::uint64_t address; // file address of the record
        std::int64_t first;    // memory address it would go to
        std::uint64_t count;
    };

    [[noreturn]] void contradiction(std::uint64_t address, const MemoryImage::Conflict& conflict,
                                    std::size_t line) const;

    MemoryImage& memory_;
    parts::ImageFormat format_;
    std::uint32_t offset_;
    std::int64_t shift_;
    std::string file_;
    std::uint64_t lowest_ = UINT64_MAX; // span of all data, in file addresses
    std::uint64_t highest_ = 0;
    bool misplaced_ = false;
    Misplaced firstMisplaced_{};
    LoadNotes notes_;
};

class ImageReader {
public:
    virtual ~ImageReader() = default;

    virtual parts::ImageFormat format() const noexcept = 0;

    // Loads the image read from `source` into `memory`; `offset` means what the format says
    // (binary: where the first byte goes; Hex and S-record: the part's first target address).
    // Throws ImageError. On failure the memory holds an unspecified part of the image.
    virtual LoadNotes load(ByteSource& source, std::uint32_t offset, MemoryImage& memory) const = 0;
};

// The reader of a format.
std::unique_ptr<ImageReader> makeReader(parts::ImageFormat format);

// The image read from `source` in `format`, loaded into a fresh memory of `partSize` bytes.
struct LoadedImage {
    MemoryImage memory;
    LoadNotes notes;
};
LoadedImage loadImage(ByteSource& source, parts::ImageFormat format, std::uint32_t offset,
                      std::uint32_t partSize);

} // namespace vanter::images
