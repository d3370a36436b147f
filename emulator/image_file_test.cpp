#include "emulator/image_file.h"

#include <gtest/gtest.h>

#include <string>

#include "emulator/images/image_error.h"
#include "testing/image_writer.h"
#include "parts/parts.h"
#include "testing/environment.h"
#include "testing/test_folder.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace vanter {
namespace {

using namespace std::string_literals;
using images::ImageError;
using images::LoadFailure;
using parts::ImageFormat;
using parts::KiB;
using testing::TestFolder;

constexpr auto kBin = ImageFormat::binary;
constexpr auto kHex = ImageFormat::intelHex;
constexpr auto kSrec = ImageFormat::sRecord;

// A file larger than a read block reaches the reader whole; its failures name the file.
TEST(ImageFile, BytesReachTheReaderWhole) {
    TestFolder folder;
    const auto data = images::writer::randomBytes(300 * KiB, 7);
    testing::writeBytes(folder / "image.bin", std::string(data.begin(), data.end()));
    const images::LoadedImage image = loadImageFile(folder / "image.bin", kBin, 0x100, 512 * KiB);
    EXPECT_EQ(image.memory.bytesLoaded(), data.size());
    EXPECT_TRUE(std::equal(data.begin(), data.end(), image.memory.memory().begin() + 0x100));

    testing::writeBytes(folder / "bad.hex", ":0100000042BE\n");
    try {
        loadImageFile(folder / "bad.hex", kHex, 0, 8 * KiB);
        ADD_FAILURE() << "loaded";
    } catch (const ImageError& e) {
        EXPECT_EQ(e.failure(), LoadFailure::badChecksum);
        EXPECT_EQ(e.file(), (folder / "bad.hex").string());
        EXPECT_EQ(e.line(), 1u);
    }
}

TEST(ImageFile, MissingFileAndFolder) {
    TestFolder folder;
    for (const auto& [path, failure] :
         {std::pair{folder / "absent.bin", LoadFailure::fileMissing},
          std::pair{folder / "absent" / "x.bin", LoadFailure::fileMissing},
          std::pair{std::filesystem::path(), LoadFailure::fileMissing},
          std::pair{folder.path(), LoadFailure::fileUnreadable}}) {
        for (const ImageFormat format : {kBin, kHex, kSrec}) {
            try {
                loadImageFile(path, format, 0, 8 * KiB);
                ADD_FAILURE() << path;
            } catch (const ImageError& e) {
                EXPECT_EQ(e.failure(), failure) << e.what();
                EXPECT_EQ(e.line(), 0u);
                if (!path.empty()) {
                    EXPECT_EQ(e.file(), path.string());
                }
            }
        }
    }
}

#ifndef _WIN32
// Only a regular file is read, and finding out never waits: a named pipe that no one writes
// (which would hang here until the test's time limit), a link to one, a device without end and
// a folder are unreadable at once. A name holding a NUL byte names no file, not the one the
// name is up to the NUL.
TEST(ImageFile, OnlyARegularFileIsRead) {
    TestFolder folder;
    ASSERT_EQ(::mkfifo((folder / "pipe.img").c_str(), 0600), 0);
    std::filesystem::create_symlink(folder / "pipe.img", folder / "link.img");
    std::filesystem::create_directory(folder / "sub");
    testing::writeBytes(folder / "a", "");
    const struct {
        std::filesystem::path file;
        LoadFailure failure;
        std::string says;
    } cases[] = {
        {folder / "pipe.img", LoadFailure::fileUnreadable, "is not a regular file"},
        {folder / "link.img", LoadFailure::fileUnreadable, "is not a regular file"},
        {"/dev/zero", LoadFailure::fileUnreadable, "is not a regular file"},
        {folder / "sub", LoadFailure::fileUnreadable, "is a folder"},
        {folder.path().string() + "/a\0b"s, LoadFailure::fileMissing, "no such file"},
    };
    for (const auto& c : cases) {
        for (const ImageFormat format : {kBin, kHex, kSrec}) {
            try {
                loadImageFile(c.file, format, 0, 8 * KiB);
                ADD_FAILURE() << c.file << " loaded";
            } catch (const ImageError& e) {
                EXPECT_EQ(e.failure(), c.failure) << e.what();
                EXPECT_NE(e.reason().find(c.says), std::string::npos) << e.what();
            }
        }
    }
}
#endif

} // namespace
} // namespace vanter
