#include "image_reader.h"

#include <algorithm>
#include <cstdio>

#include "binary_reader.h"
#include "image_error.h"
#include "intel_hex_reader.h"
#include "srecord_reader.h"
#include "text/hex.h"

namespace vanter::images {

namespace {

std::string range(std::uint64_t first, std::uint64_t count) {
    if (count == 1) {
        return text::hexText(first);
    }
    return text::hexText(first) + " to " + text::hexText(first + count - 1);
}

} // namespace

ImageSink::ImageSink(MemoryImage& memory, parts::ImageFormat format, std::uint32_t offset,
                     std::string file)
    : memory_(memory), format_(format), offset_(offset),
      shift_(format == parts::ImageFormat::binary ? std::int64_t{offset} : -std::int64_t{offset}),
      file_(std::move(file)) {}

void ImageSink::put(std::uint64_t address, std::span<const std::uint8_t> data, std::size_t line) {
    if (data.empty()) {
        return;
    }
    const std::uint64_t count = data.size();
    lowest_ = std::min(lowest_, address);
    highest_ = std::max(highest_, address + count - 1);
    const std::int64_t first = static_cast<std::int64_t>(address) + shift_;
    if (first >= 0 && static_cast<std::uint64_t>(first) + count <= memory_.size()) {
        if (const auto conflict = memory_.put(static_cast<std::uint32_t>(first), data)) {
            contradiction(address + (conflict->address - static_cast<std::uint64_t>(first)),
                          *conflict, line);
        }
        return;
    }
    if (!misplaced_) {
        misplaced_ = true;
        firstMisplaced_ = Misplaced{line, address, first, count};
    }
}

void ImageSink::contradiction(std::uint64_t address, const MemoryImage::Conflict& conflict,
                              std::size_t line) const {
    std::string text = "address " + text::hexText(address);
    if (shift_ != 0) {
        text += " (memory address " + text::hexText(conflict.address) + ")";
    }
    text += " already holds " + text::hexText(conflict.loaded) + " from an earlier record; this " +
            (format_ == parts::ImageFormat::binary ? std::string("byte") : std::string("record")) +
            " brings " + text::hexText(conflict.offered);
    throw ImageError(LoadFailure::contradictoryData, file_, line, text);
}

void ImageSink::finish() const {
    if (!misplaced_) {
        return;
    }
    const std::uint64_t size = memory_.size();
    const std::uint64_t span = highest_ - lowest_ + 1;
    if (span > size) {
        const std::string what = format_ == parts::ImageFormat::binary
                                     ? "the file holds " + std::to_string(span) + " bytes"
                                     : "the image spans " + std::to_string(span) + " bytes (" +
                                           range(lowest_, span) + ")";
        throw ImageError(LoadFailure::imageTooLarge, file_, 0,
                         what + ", more than the " + std::to_string(size) + " bytes of the part");
    }
    const Misplaced& m = firstMisplaced_;
    if (format_ == parts::ImageFormat::binary) {
        // Binary data can only run past the end: the offset is where the first byte goes.
        const std::uint64_t firstOut =
            std::max<std::uint64_t>(m.address, size > offset_ ? size - offset_ : 0);
        throw ImageError(LoadFailure::pastPartEnd, file_, 0,
                         "with offset " + text::hexText(offset_) + " the file's byte " +
                             text::hexText(firstOut) + " and those after it would go to " +
                             text::hexText(firstOut + offset_) +
                             " and beyond, past the end of the part (last address " +
                             text::hexText(size - 1) + ")");
    }
    const std::string covers =
        "with offset " + text::hexText(offset_) + " the part covers " + range(offset_, size);
    if (m.first < 0) {
        throw ImageError(LoadFailure::beforePartStart, file_, m.line,
                         "data at " + range(m.address, m.count) +
                             " lies before the start of the part: " + covers);
    }
    throw ImageError(LoadFailure::pastPartEnd, file_, m.line,
                     "data at " + range(m.address, m.count) +
                         " lies past the end of the part: " + covers);
}

void ImageSink::warn(std::size_t line, std::string text) {
    std::string note = file_;
    if (line != 0) {
        note += ": line " + std::to_string(line);
    }
    notes_.warnings.push_back(note + ": " + text);
}

std::unique_ptr<ImageReader> makeReader(parts::ImageFormat format) {
    switch (format) {
    case parts::ImageFormat::binary:
        return std::make_unique<BinaryReader>();
    case parts::ImageFormat::intelHex:
        return std::make_unique<IntelHexReader>();
    case parts::ImageFormat::sRecord:
        return std::make_unique<SRecordReader>();
    }
    return nullptr;
}

LoadedImage loadImage(ByteSource& source, parts::ImageFormat format, std::uint32_t offset,
                      std::uint32_t partSize) {
    LoadedImage image{MemoryImage(partSize), {}};
    image.notes = makeReader(format)->load(source, offset, image.memory);
    return image;
}

} // namespace vanter::images
