#include "binary_reader.h"

#include <vector>

#include "image_error.h"

namespace vanter::images {

LoadNotes BinaryReader::load(ByteSource& source, std::uint32_t offset, MemoryImage& memory) const {
    ImageSink sink(memory, parts::ImageFormat::binary, offset, source.name());
    // A file known to be too large is refused before any of it is read.
    if (const auto size = source.size(); size && *size > memory.size()) {
        throw ImageError(LoadFailure::imageTooLarge, source.name(), 0,
                         "the file holds " + std::to_string(*size) + " bytes, more than the " +
                             std::to_string(memory.size()) + " bytes of the part");
    }
    std::vector<char> block(256 * 1024);
    std::uint64_t position = 0;
    while (const std::size_t got = source.read(block)) {
        sink.put(position, {reinterpret_cast<const std::uint8_t*>(block.data()), got}, 0);
        position += got;
        // A source of unknown or wrong size may never end (files are regular, but not every
        // source is a file): once it has brought a block more than the part holds, the verdict
        // can't change.
        if (position > std::uint64_t{memory.size()} + block.size()) {
            throw ImageError(LoadFailure::imageTooLarge, source.name(), 0,
                             "the file holds at least " + std::to_string(position) +
                                 " bytes (read no further), more than the " +
                                 std::to_string(memory.size()) + " bytes of the part");
        }
    }
    sink.finish();
    return sink.takeNotes();
}

} // namespace vanter::images
