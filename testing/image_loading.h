#pragma once

// Helpers of the image tests: loading text from memory, catching load failures, the corpus
// (the images tests name its folder in VANTER_IMAGES_TESTDATA).
// Folders, whole files and environment variables come from the shared test support.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

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

} // namespace vanter::images::testing
