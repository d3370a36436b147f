#pragma once

// One fuzz run of an image reader (Intel HEX or S-record): the first byte of the input picks the
// part and the loading offset, the rest is the file. A run costs about the part's size, so the
// smallest part comes most often; the largest (128 KiB) reaches past 16-bit record addresses.
// Any file either loads, with every loaded byte inside the part, or fails as a malformed image
// (a failure the reader finds, not one of opening a file). A loaded image, written out again as
// records, loads to the same memory.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "emulator/images/byte_source.h"
#include "emulator/images/image_error.h"
#include "emulator/images/image_reader.h"
#include "testing/image_writer.h"
#include "fuzz_check.h"
#include "parts/parts.h"

namespace vanter::fuzz {

inline constexpr std::uint32_t kOffsets[8] = {0,       0x100,   0x8000,     0x10000,
                                              0x20000, 0xF0000, 0x7FFFFFFF, 0xFFFFFFFF};

inline images::MemoryImage loadInto(parts::ImageFormat format, std::string_view file,
                                    std::uint32_t offset, std::uint32_t size,
                                    images::LoadNotes* notes = nullptr) {
    images::MemorySource source(file, "fuzz.img");
    images::LoadedImage loaded = images::loadImage(source, format, offset, size);
    if (notes != nullptr) {
        *notes = std::move(loaded.notes);
    }
    return std::move(loaded.memory);
}

// The loaded bytes as records at their file addresses (memory address + offset).
FUZZ_NO_COVERAGE inline std::string
asRecords(parts::ImageFormat format, const images::MemoryImage& memory, std::uint32_t offset) {
    std::vector<images::writer::Block> blocks;
    for (std::uint32_t a = 0; a < memory.size(); ++a) {
        if (!memory.isLoaded(a)) {
            continue;
        }
        if (blocks.empty() || blocks.back().address + blocks.back().bytes.size() != a + offset) {
            blocks.push_back({a + offset, {}});
        }
        blocks.back().bytes.push_back(memory.at(a));
    }
    const auto list = images::writer::records(blocks, 32);
    return format == parts::ImageFormat::intelHex
               ? images::writer::intelHex(list, images::writer::Addressing::linear)
               : images::writer::sRecords(list, 4);
}

// A loaded memory is consistent: erased where nothing was loaded, with the count and span that
// it reports.
FUZZ_NO_COVERAGE inline void checkMemory(const images::MemoryImage& memory,
                                         std::uint32_t partSize) {
    FUZZ_CHECK(memory.size() == partSize);
    std::uint64_t loaded = 0;
    std::optional<std::uint32_t> lowest;
    std::uint32_t highest = 0;
    for (std::uint32_t a = 0; a < partSize; ++a) {
        if (memory.isLoaded(a)) {
            ++loaded;
            lowest = lowest.value_or(a);
            highest = a;
        } else {
            FUZZ_CHECK(memory.at(a) == images::MemoryImage::kErased);
        }
    }
    FUZZ_CHECK(loaded == memory.bytesLoaded());
    FUZZ_CHECK(memory.lowest() == lowest);
    FUZZ_CHECK(memory.highest() == (lowest ? std::optional<std::uint32_t>(highest) : std::nullopt));
}

// Two memories hold the same bytes at the same addresses.
FUZZ_NO_COVERAGE inline bool sameMemory(const images::MemoryImage& a,
                                        const images::MemoryImage& b) {
    if (a.size() != b.size() || a.bytesLoaded() != b.bytesLoaded() ||
        !std::equal(a.memory().begin(), a.memory().end(), b.memory().begin())) {
        return false;
    }
    for (std::uint32_t i = 0; i < a.size(); ++i) {
        if (a.isLoaded(i) != b.isLoaded(i)) {
            return false;
        }
    }
    return true;
}

inline int fuzzImage(parts::ImageFormat format, const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    // Bits 0-1 and 5-7 pick the part: 8 KiB for 28 values of 32, 16, 32, 64 or 128 KiB for one
    // each. Bits 2-4 pick the offset, which reaches both ends of 32 bits.
    const unsigned pick = (data[0] & 3u) | ((data[0] >> 3) & 0x1Cu);
    const std::uint32_t partSize = parts::kParts[pick < 28 ? 0 : pick - 27].size;
    const std::uint32_t offset = kOffsets[(data[0] >> 2) & 7u];
    const std::string_view file = asText(data + 1, size - 1);

    images::MemoryImage memory(1);
    try {
        memory = loadInto(format, file, offset, partSize);
    } catch (const images::ImageError& e) {
        using images::LoadFailure;
        const LoadFailure f = e.failure();
        FUZZ_CHECK(f == LoadFailure::malformedRecord || f == LoadFailure::badChecksum ||
                   f == LoadFailure::unknownRecordType || f == LoadFailure::recordCountMismatch ||
                   f == LoadFailure::beforePartStart || f == LoadFailure::pastPartEnd ||
                   f == LoadFailure::contradictoryData || f == LoadFailure::imageTooLarge);
        FUZZ_CHECK(e.file() == "fuzz.img");
        FUZZ_CHECK(!e.reason().empty());
        // A record failure names a line of the file (one past the last at most).
        FUZZ_CHECK(e.line() <=
                   static_cast<std::size_t>(std::count(file.begin(), file.end(), '\n')) + 1);
        return 0;
    }

    checkMemory(memory, partSize);

    const std::string again = asRecords(format, memory, offset);
    images::LoadNotes notes;
    const images::MemoryImage reloaded = loadInto(format, again, offset, partSize, &notes);
    FUZZ_CHECK(notes.warnings.empty());
    FUZZ_CHECK(sameMemory(reloaded, memory));
    return 0;
}

} // namespace vanter::fuzz
