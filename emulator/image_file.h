#pragma once

// Image files as the user names them, handed to the image readers. Only a regular file is
// read, and finding out what the name is never waits (fs/regular_file.h).

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "emulator/images/byte_source.h"
#include "emulator/images/image_reader.h"
#include "fs/regular_file.h"

namespace vanter {

// An image file as a source of bytes. Opening throws images::ImageError: fileMissing when there
// is no such file (or no name), fileUnreadable when it is a folder, a named pipe, a device or
// can't be opened. Failures name the file in the system's 8-bit code page.
class ImageFile : public images::ByteSource {
public:
    explicit ImageFile(const std::filesystem::path& path);

    std::size_t read(std::span<char> buffer) override;
    std::optional<std::uint64_t> size() const override { return file_.size(); }
    const std::string& name() const override { return name_; }

private:
    std::string name_;
    RegularFile file_;
};

// The image file `path` in `format`, loaded into a fresh memory of `partSize` bytes. Throws
// images::ImageError.
images::LoadedImage loadImageFile(const std::filesystem::path& path, parts::ImageFormat format,
                                  std::uint32_t offset, std::uint32_t partSize);

} // namespace vanter
