#include "emulator/images/binary_reader.h"

#include <gtest/gtest.h>

#include "testing/image_writer.h"
#include "testing/image_loading.h"

namespace vanter::images {
namespace {

constexpr auto kBin = parts::ImageFormat::binary;

std::string text(const std::vector<std::uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

// The offset is the place in the memory where the file's first byte goes.
TEST(BinaryReader, FileBytesGoFromTheOffsetOn) {
    struct Case {
        std::size_t fileSize;
        std::uint32_t offset;
        std::uint32_t partSize;
    };
    for (const Case c :
         {Case{16, 0, 8 * parts::KiB}, Case{100, 0x100, 8 * parts::KiB},
          Case{8 * parts::KiB, 0, 8 * parts::KiB}, Case{1, 8 * parts::KiB - 1, 8 * parts::KiB},
          Case{300 * parts::KiB, 0x12345, 512 * parts::KiB}, Case{0, 0, 8 * parts::KiB},
          Case{0, 0xFFFFFFFF, 8 * parts::KiB}}) {
        const auto data = writer::randomBytes(c.fileSize, 7);
        const LoadedImage image = testing::loadText(kBin, text(data), c.offset, c.partSize);
        const auto memory = image.memory.memory();
        ASSERT_EQ(memory.size(), c.partSize);
        for (std::uint64_t a = 0; a < c.partSize; ++a) {
            const bool inside = a >= c.offset && a < std::uint64_t{c.offset} + c.fileSize;
            ASSERT_EQ(memory[a], inside ? data[a - c.offset] : 0xFF) << a;
        }
        EXPECT_EQ(image.memory.bytesLoaded(), c.fileSize);
        if (c.fileSize > 0) {
            EXPECT_EQ(image.memory.lowest(), c.offset);
            EXPECT_EQ(image.memory.highest(), c.offset + c.fileSize - 1);
        }
    }
}

// A source that does not know its size, as a pipe.
class Stream : public ByteSource {
public:
    explicit Stream(std::string bytes) : bytes_(std::move(bytes)), inner_(bytes_, name_) {}
    std::size_t read(std::span<char> buffer) override {
        return inner_.read(buffer.first(std::min<std::size_t>(buffer.size(), 1000)));
    }
    const std::string& name() const override { return name_; }

private:
    std::string name_ = "stream";
    std::string bytes_;
    MemorySource inner_;
};

TEST(BinaryReader, TooLargeOrMisplacedFailsAlsoWithoutKnownSize) {
    struct Case {
        std::size_t fileSize;
        std::uint32_t offset;
        LoadFailure failure;
        std::string reason;
    };
    const Case cases[] = {
        {8 * parts::KiB + 1, 0, LoadFailure::imageTooLarge,
         "the file holds 8193 bytes, more than the 8192 bytes of the part"},
        {8 * parts::KiB, 1, LoadFailure::pastPartEnd,
         "with offset 0x1 the file's byte 0x1fff and those after it would go to 0x2000 and "
         "beyond, past the end of the part (last address 0x1fff)"},
        {1, 8 * parts::KiB, LoadFailure::pastPartEnd,
         "with offset 0x2000 the file's byte 0x0 and those after it would go to 0x2000 and "
         "beyond, past the end of the part (last address 0x1fff)"},
        {16, 0xFFFFFFF8, LoadFailure::pastPartEnd, ""},
    };
    for (const Case& c : cases) {
        const std::string data = text(writer::randomBytes(c.fileSize, 3));
        for (bool knownSize : {true, false}) {
            MemorySource memory(data, "stream");
            Stream stream(data);
            ByteSource& source = knownSize ? static_cast<ByteSource&>(memory) : stream;
            MemoryImage image(8 * parts::KiB);
            try {
                BinaryReader().load(source, c.offset, image);
                ADD_FAILURE() << "loaded " << c.fileSize;
            } catch (const ImageError& e) {
                EXPECT_EQ(e.failure(), c.failure) << e.what();
                EXPECT_EQ(e.line(), 0u);
                if (!c.reason.empty()) {
                    EXPECT_EQ(e.reason(), c.reason);
                }
            }
        }
    }
}

} // namespace
} // namespace vanter::images
