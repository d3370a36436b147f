#include "unit_memory.h"

#include <stdexcept>

#include "emulator/image_file.h"
#include "emulator/images/checksums.h"
#include "emulator/images/image_reader.h"
#include "fs/native_name.h"
#include "parts/parts.h"

namespace vanter::standin {

using parts::formatForCode;
using parts::partForCode;

UnitMemory loadUnitMemory(const UnitRecord& unit) {
    // The script reader has refused other codes already.
    const auto part = partForCode(unit.memoryType);
    const auto format = formatForCode(unit.fileFormat);
    if (!part || !format) {
        throw std::invalid_argument("memory type or file format code out of range");
    }
    images::LoadedImage image =
        loadImageFile(pathFromNativeName(unit.fileName), *format, unit.offset, part->size);
    UnitMemory result;
    result.load = unit;
    result.bytesLoaded = image.memory.bytesLoaded();
    result.lowest = image.memory.lowest();
    result.highest = image.memory.highest();
    result.bytes = image.memory.takeMemory();
    result.crc = images::crc32(result.bytes);
    result.sum = images::byteSum(result.bytes);
    result.warnings = std::move(image.notes.warnings);
    return result;
}

} // namespace vanter::standin
