#pragma once

#include "image_reader.h"

namespace vanter::images {

// Intel HEX: record types 00 (data), 01 (end of file), 02 (extended segment address),
// 03 (start segment address), 04 (extended linear address), 05 (start linear address).
// A record at address A goes to memory address A - offset. Under a segment base a record's
// address wraps within its 64 KiB segment; under a linear base (or none) it runs on.
// Reading stops at the end-of-file record; a file without one loads with a warning.
class IntelHexReader : public ImageReader {
public:
    parts::ImageFormat format() const noexcept override { return parts::ImageFormat::intelHex; }
    LoadNotes load(ByteSource& source, std::uint32_t offset, MemoryImage& memory) const override;
};

} // namespace vanter::images
