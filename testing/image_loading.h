#pragma once

// Helpers of the image tests: loading text from memory, catching load failures, the corpus
// (the images tests name its folder in VANTER_IMAGES_TESTDATA) and the checks every reader
// runs over its corpus files.
// Folders, whole files and environment variables come from the shared test support.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "emulator/images/image_error.h"
#include "emulator/images/image_reader.h"
#include "testing/environment.h"
#include "testing/test_folder.h"

namespace vanter::images::testing {

// Loads `text` as an image file of `format` into a fresh memory of `size` bytes.
inline LoadedImage loadText(parts::ImageFormat format, std::string_view text, std::uint32_t offset,
                            std::uint32_t size) {
    MemorySource source(text, "test.img");
    return loadImage(source, format, offset, size);
}

// Loads the file `path` as an image of `format`; failures name the file by its path.
inline LoadedImage loadFile(const std::filesystem::path& path, parts::ImageFormat format,
                            std::uint32_t offset, std::uint32_t size) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    MemorySource source(bytes, path.string());
    return loadImage(source, format, offset, size);
}

// The failure of loading `text`, or nullopt when it loads.
inline std::optional<ImageError> failureOf(parts::ImageFormat format, std::string_view text,
                                           std::uint32_t offset, std::uint32_t size) {
    try {
        loadText(format, text, offset, size);
    } catch (const ImageError& e) {
        return e;
    }
    return std::nullopt;
}

} // namespace vanter::images::testing

namespace vanter::images::testing {

inline std::filesystem::path corpus(std::string_view name) {
    return std::filesystem::path(VANTER_IMAGES_TESTDATA) / name;
}

// A byte expected at a memory address.
struct At {
    std::uint32_t address;
    std::uint8_t value;
};

// A corpus file that must fail, and how.
struct FailingFile {
    const char* file;
    parts::ImageFormat format;
    std::uint32_t offset;
    int memoryType; // file code
    LoadFailure failure;
    std::size_t line;
};

inline void PrintTo(const FailingFile& f, std::ostream* out) {
    *out << f.file;
}

// A corpus file that loads, with bytes it must put where they belong.
struct GoodFile {
    const char* file;
    std::uint32_t offset;
    std::uint32_t partSize;
    std::vector<At> expected;
    std::uint64_t bytesLoaded;
};

inline void PrintTo(const GoodFile& f, std::ostream* out) {
    *out << f.file;
}

inline void expectLoadsEveryByteWhereItBelongs(const GoodFile& f, parts::ImageFormat format) {
    const LoadedImage image = loadFile(corpus(f.file), format, f.offset, f.partSize);
    for (const At& at : f.expected) {
        EXPECT_TRUE(image.memory.isLoaded(at.address)) << std::hex << at.address;
        EXPECT_EQ(image.memory.at(at.address), at.value) << std::hex << at.address;
    }
    EXPECT_EQ(image.memory.bytesLoaded(), f.bytesLoaded);
    EXPECT_TRUE(image.notes.warnings.empty());
}

// The failure names the file by its path, in the error and in its text.
inline void expectFailsWithItsCodeAndLine(const FailingFile& f) {
    try {
        loadFile(corpus(f.file), f.format, f.offset, parts::partForCode(f.memoryType)->size);
        FAIL() << "loaded";
    } catch (const ImageError& e) {
        EXPECT_EQ(e.failure(), f.failure) << e.what();
        EXPECT_EQ(e.line(), f.line) << e.what();
        EXPECT_EQ(e.file(), corpus(f.file).string());
        EXPECT_NE(std::string(e.what()).find(f.file), std::string::npos);
    }
}

} // namespace vanter::images::testing
