#include "image_file.h"

#include "emulator/images/image_error.h"
#include "fs/native_name.h"

namespace vanter {

using images::ImageError;
using images::LoadFailure;

ImageFile::ImageFile(const std::filesystem::path& path) : name_(nativeName(path)), file_(path) {
    if (path.empty()) {
        throw ImageError(LoadFailure::fileMissing, "(no file name)", 0, "no image file is named");
    }
    switch (file_.status()) {
    case RegularFile::Status::open:
        return;
    case RegularFile::Status::missing:
        throw ImageError(LoadFailure::fileMissing, name_, 0, "no such file");
    case RegularFile::Status::folder:
        throw ImageError(LoadFailure::fileUnreadable, name_, 0, "is a folder, not a file");
    case RegularFile::Status::notRegular:
        throw ImageError(LoadFailure::fileUnreadable, name_, 0,
                         "is not a regular file (a named pipe or a device?)");
    case RegularFile::Status::failed:
        break;
    }
    throw ImageError(LoadFailure::fileUnreadable, name_, 0,
                     "can't be opened for reading (" + file_.reason() + ")");
}

std::size_t ImageFile::read(std::span<char> buffer) {
    const std::size_t got = file_.read(buffer);
    if (file_.readFailed()) {
        throw ImageError(LoadFailure::fileUnreadable, name_, 0, "read error");
    }
    return got;
}

images::LoadedImage loadImageFile(const std::filesystem::path& path, parts::ImageFormat format,
                                  std::uint32_t offset, std::uint32_t partSize) {
    ImageFile file(path);
    return images::loadImage(file, format, offset, partSize);
}

} // namespace vanter
