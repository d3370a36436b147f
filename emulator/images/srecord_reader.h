#pragma once

#include "image_reader.h"

namespace vanter::images {

// Motorola S-records: S0 (header), S1/S2/S3 (data with 16, 24 or 32-bit addresses), S5/S6
// (count of the data records so far, 16 or 24-bit), S7/S8/S9 (termination with a 32, 24 or
// 16-bit start address). A record at address A goes to memory address A - offset. Records after
// the termination record still load, and a file without one loads, each with a warning.
class SRecordReader : public ImageReader {
public:
    parts::ImageFormat format() const noexcept override { return parts::ImageFormat::sRecord; }
    LoadNotes load(ByteSource& source, std::uint32_t offset, MemoryImage& memory) const override;
};

} // namespace vanter::images
