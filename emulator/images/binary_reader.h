#pragma once

#include "image_reader.h"

namespace vanter::images {

// A binary image: the file's bytes, one after the other, from the offset on.
class BinaryReader : public ImageReader {
public:
    parts::ImageFormat format() const noexcept override { return parts::ImageFormat::binary; }
    LoadNotes load(ByteSource& source, std::uint32_t offset, MemoryImage& memory) const override;
};

} // namespace vanter::images
