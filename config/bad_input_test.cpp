// Malformed configuration files: garbage, NUL bytes, endless lines and files, Ctrl-Z, numbers
// beyond 32 bits. Big inputs are made on the fly as streams and never held whole. And writing
// into a full disk or a read-only folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <istream>
#include <random>
#include <string>
#include <thread>

#include "config/errors.h"
#include "config/in3_file.h"
#include "testing/as_ordinary_user.h"
#include "testing/configuration_text.h"
#include "testing/generated_bytes.h"
#include "testing/test_folder.h"
#include "testing/test_names.h"

#ifndef _WIN32
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vanter {
namespace {

using namespace std::string_literals;
namespace fs = std::filesystem;

// A text made while it is read (see GeneratedBytes). Counts what the reader took, so that a
// test can tell it stopped early.
class GeneratedText : public std::streambuf {
public:
    static constexpr std::uint64_t kForever = testing::GeneratedBytes::kForever;

    GeneratedText(std::string head, std::string unit, std::uint64_t count, std::string tail)
        : bytes_(std::move(head), std::move(unit), count, std::move(tail)) {}

    // Bytes handed to the reader so far.
    std::uint64_t taken() const {
        return bytes_.produced() - static_cast<std::uint64_t>(egptr() - gptr());
    }

protected:
    int_type underflow() override {
        const std::size_t filled = bytes_.read(block_);
        if (filled == 0) {
            return traits_type::eof();
        }
        setg(block_, block_, block_ + filled);
        return traits_type::to_int_type(block_[0]);
    }

private:
    testing::GeneratedBytes bytes_;
    char block_[64 * 1024];
};

// A configuration with every slot holding values, #1 and #3 checked.
Configuration before() {
    Configuration config;
    config.port = "0x2bc";
    config.resetLevel = 1;
    config.slots[0] = {false, 3, kHexFormat, "fff0", "/fw/zero.hex"};
    config.slots[1] = {true, 14, kSRecordFormat, "0x8000", "/fw/one.s19"};
    config.slots[2] = {false, 9, kBinaryFormat, "0", "/fw/two.bin"};
    config.slots[3] = {true, 0, kBinaryFormat, "-FF", "/fw/three.bin"};
    return config;
}

std::string garbage(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random());
    }
    bytes[0] = '\x80'; // not a hexadecimal digit: the port line can't convert
    return bytes;
}

const std::string kRecord0 = "1\r\n0\r\n0\r\n5\r\n1\r\n0\r\nzero.bin\r\n";
constexpr std::uint64_t kForever = GeneratedText::kForever;

enum class Outcome { reads, conversionError, fileError };

struct Case {
    const char* name;
    std::string head;
    std::string unit;
    std::uint64_t count;
    std::string tail;
    Outcome outcome;
    // reads: checks the configuration; errors: the start of ConversionError::text() or what().
    std::function<void(const Configuration&)> check;
    std::string error;
    std::uint64_t mostTaken = 0; // 0: no bound checked
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

SlotSettings slot(int memoryType, int fileFormat, std::string offset, std::string fileName) {
    return {true, memoryType, fileFormat, std::move(offset), std::move(fileName)};
}

// A text the reader takes; `check` looks at the configuration it gives.
Case reads(const char* name, std::string head, std::string unit, std::uint64_t count,
           std::string tail, std::function<void(const Configuration&)> check,
           std::uint64_t mostTaken = 0) {
    return {name,
            std::move(head),
            std::move(unit),
            count,
            std::move(tail),
            Outcome::reads,
            std::move(check),
            "",
            mostTaken};
}

// A text the reader refuses; `error` is the start of ConversionError::text() or the whole what().
Case fails(const char* name, std::string head, std::string unit, std::uint64_t count,
           Outcome outcome, std::string error, std::uint64_t mostTaken = 0) {
    return {name, std::move(head),  std::move(unit), count, "", outcome,
            {},   std::move(error), mostTaken};
}

const std::string kTooLong = "Configuration line 1 is longer than 32768 characters";
const std::string kTooLarge = "Configuration is longer than 1048576 bytes";

const Case kCases[] = {
    fails("empty", "", "", 0, Outcome::conversionError, "0x"),
    fails("binary garbage", garbage(64 * 1024, 1), "", 0, Outcome::conversionError, "0x\x80"),
    fails("NUL bytes in the port line", "1\0\r\n0\r\n"s, "", 0, Outcome::conversionError, "0x1\0"s),
    reads("NUL bytes in values are kept", "1\r\n0\r\n2\r\n5\0\r\n1\r\n\0\r\na\0b\r\nN"s, "", 0, "",
          [](const Configuration& c) { EXPECT_EQ(c.slots[2], slot(4, 0, "\0"s, "a\0b"s)); }),
    fails("a megabyte of NUL bytes", "", "\0"s, 1 << 20, Outcome::fileError, kTooLong,
          kMaxLineLength + 1),
    fails("endless port line", "", "1", kForever, Outcome::fileError, kTooLong, kMaxLineLength + 1),
    fails("endless file name", "1\r\n0\r\n0\r\n5\r\n1\r\n0\r\n", "p", kForever, Outcome::fileError,
          "Configuration line 7 is longer than 32768 characters", 18 + kMaxLineLength + 1),
    reads(
        "millions of lines after the final N", kRecord0 + "N", "\r\n", 3'000'000, "",
        [](const Configuration& c) { EXPECT_EQ(c.slots[0], slot(4, 0, "0", "zero.bin")); },
        kRecord0.size() + 3),
    // Slot 7 reads no value lines: each pair is a record of its own.
    reads("half a million lines within a megabyte", "1\r\n0\r\n", "7\nY\n", 250'000,
          "2\n5\n1\n0\nlast\nN",
          [](const Configuration& c) {
              EXPECT_EQ(c.slots[2], slot(4, 0, "0", "last"));
              EXPECT_EQ(c.slots[0], before().slots[0]);
          }),
    fails("millions of lines past a megabyte", "1\r\n0\r\n", "7\r\nY\r\n", 3'000'000,
          Outcome::fileError, kTooLarge, kMaxConfigurationSize + 1),
    // Every "Y" is a slot number (0), four values and a continuation line: an endless record.
    fails("Y forever", kRecord0 + "Y\r\n", "Y\r\n", kForever, Outcome::fileError, kTooLarge,
          kMaxConfigurationSize + 1),
    fails("Y forever, line feeds only", kRecord0 + "Y\n", "Y\n", kForever, Outcome::fileError,
          kTooLarge, kMaxConfigurationSize + 1),
    reads(
        "Y forever after a final N", kRecord0 + "N\r\n", "Y\r\n", kForever, "",
        [](const Configuration& c) { EXPECT_EQ(c.slots[0], slot(4, 0, "0", "zero.bin")); },
        kRecord0.size() + 3),
    // Everything after a Ctrl-Z reads as empty lines, as in a file that ends there.
    reads("Ctrl-Z in the port line",
          "2\x1A"
          "bc\r\n1\r\n3\r\n5\r\n1\r\n0\r\nx\r\nN",
          "", 0, "",
          [](const Configuration& c) {
              EXPECT_EQ(c.port, "0x378");
              EXPECT_EQ(c.resetLevel, 0);
              EXPECT_EQ(c.slots[0], slot(-1, -1, "", ""));
              EXPECT_EQ(c.slots[3], before().slots[3]);
          }),
    reads("Ctrl-Z in an offset",
          "1\r\n0\r\n2\r\n5\r\n1\r\n80\x1A"
          "00\r\nname\r\nN",
          "", 0, "", [](const Configuration& c) { EXPECT_EQ(c.slots[2], slot(4, 0, "80", "")); }),
    reads("Ctrl-Z right after Y", kRecord0 + "Y\r\n\x1A" + "2\r\n5\r\n1\r\n0\r\nb\r\nN", "", 0, "",
          [](const Configuration& c) {
              EXPECT_EQ(c.slots[0], slot(-1, -1, "", ""));
              EXPECT_EQ(c.slots[2], before().slots[2]);
          }),
    // Numbers past 32 bits saturate; none wraps round to a small value.
    reads("slot 4294967296 is not slot 0", "1\r\n0\r\n4294967296\r\nN", "", 0, "",
          [](const Configuration& c) { EXPECT_EQ(c.slots, before().slots); }),
    reads("slot -0 is slot 0", "1\r\n0\r\n-0\r\n5\r\n1\r\n0\r\nz\r\nN", "", 0, "",
          [](const Configuration& c) { EXPECT_EQ(c.slots[0], slot(4, 0, "0", "z")); }),
    reads("memory type 4294967301 and format 4294967298",
          "1\r\n4294967297\r\n0\r\n4294967301\r\n4294967298\r\n0\r\nz\r\nN", "", 0, "",
          [](const Configuration& c) {
              EXPECT_EQ(c.resetLevel, -1);
              EXPECT_EQ(c.slots[0], slot(-1, -1, "0", "z"));
          }),
    reads("offset beyond 32 bits is kept as text",
          "1\r\n0\r\n0\r\n5\r\n1\r\n-123456789abcdef0123\r\nz\r\nN", "", 0, "",
          [](const Configuration& c) { EXPECT_EQ(c.slots[0].offset, "-123456789abcdef0123"); }),
    reads("largest typed port", "7fffffff\r\n0\r\n0\r\n5\r\n1\r\n0\r\n\r\nN", "", 0, "",
          [](const Configuration& c) { EXPECT_EQ(c.port, "0x7fffffff"); }),
    fails("port with 33 bits", "1ffffffff\r\n0\r\n", "", 0, Outcome::conversionError,
          "0x1ffffffff"),
    reads("port with a thousand zeros", "", "0", 1000, "\r\n1\r\n",
          [](const Configuration& c) { EXPECT_EQ(c.port, ""); }),
};

class BadConfiguration : public ::testing::TestWithParam<Case> {};

TEST_P(BadConfiguration, ReadsWithTheSpecifiedOutcome) {
    const Case& c = GetParam();
    GeneratedText text(c.head, c.unit, c.count, c.tail);
    std::istream in(&text);
    Configuration config = before();
    switch (c.outcome) {
    case Outcome::reads:
        readConfiguration(in, config);
        c.check(config);
        break;
    case Outcome::conversionError:
        try {
            readConfiguration(in, config);
            ADD_FAILURE() << "no error";
        } catch (const ConversionError& e) {
            EXPECT_TRUE(e.text().starts_with(c.error)) << e.what();
            // The whole text, NUL bytes and what follows them included.
            EXPECT_EQ(e.message(), "'" + e.text() + "' is not a valid integer value");
        }
        EXPECT_EQ(config, before());
        break;
    case Outcome::fileError:
        try {
            readConfiguration(in, config);
            ADD_FAILURE() << "no error";
        } catch (const FileError& e) {
            EXPECT_EQ(e.what(), c.error);
        }
        EXPECT_EQ(config, before());
        break;
    }
    if (c.mostTaken != 0) {
        EXPECT_LE(text.taken(), c.mostTaken);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, BadConfiguration, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return vanter::testing::testName(info.param.name);
                         });

TEST(BadConfigurationFile, LongerThanAMegabyteNamesTheFile) {
    testing::TestFolder folder;
    const fs::path file = folder / "big.in3";
    std::string text = "1\r\n0\r\n";
    while (text.size() <= kMaxConfigurationSize) {
        text += "7\r\nY\r\n";
    }
    testing::writeBytes(file, text);
    Configuration config = before();
    try {
        readConfigurationFile(file, config);
        ADD_FAILURE() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.what(), "Cannot read '" + file.string() +
                                "': the file is longer than 1048576 bytes (not a configuration "
                                "file)");
    }
    EXPECT_EQ(config, before());
}

#ifndef _WIN32

// Anything but a regular file reads as a file that can't be opened, and at once: a named pipe
// that no one writes (which would hang here until the test's time limit), a link to one, a
// device without end, a folder.
TEST(BadConfigurationFile, NotARegularFileReadsAsEmptyWithoutWaiting) {
    testing::TestFolder folder;
    ASSERT_EQ(::mkfifo((folder / "pipe.in3").c_str(), 0600), 0) << std::strerror(errno);
    fs::create_symlink(folder / "pipe.in3", folder / "link.in3");
    fs::create_directory(folder / "folder.in3");
    for (const fs::path& file :
         {folder / "pipe.in3", folder / "link.in3", fs::path("/dev/zero"), folder / "folder.in3"}) {
        Configuration config = before();
        try {
            readConfigurationFile(file, config);
            ADD_FAILURE() << "no error reading " << file;
        } catch (const ConversionError& e) {
            EXPECT_EQ(e.text(), "0x") << file;
        }
        EXPECT_EQ(config, before());
    }
}

// A small file system of its own over a test folder, mounted in a mount namespace of this test
// process alone (each test runs in a process of its own under CTest), so that nothing of it
// outlives the test. Needs the right to mount: root in CI.
class ScratchDisk {
public:
    // Mounts a tmpfs of `bytes` at `at`; false, with the reason, when mounting is not permitted.
    bool mount(const fs::path& at, std::size_t bytes, std::string& why) {
        static const bool privateNamespace = [] {
            return ::unshare(CLONE_NEWNS) == 0 &&
                   ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        }();
        const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
        if (!privateNamespace ||
            ::mount("vanter-test", at.c_str(), "tmpfs", 0, options.c_str()) != 0) {
            why = std::string("can't mount a tmpfs here: ") + std::strerror(errno);
            return false;
        }
        at_ = at;
        return true;
    }

    void makeReadOnly() const {
        ASSERT_EQ(::mount(nullptr, at_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0)
            << std::strerror(errno);
    }

    ~ScratchDisk() {
        if (!at_.empty()) {
            ::umount2(at_.c_str(), MNT_DETACH);
        }
    }

private:
    fs::path at_;
};

// The worked example of the configuration file: slots #0 and #2.
Configuration twoSlots() {
    Configuration config;
    config.port = "0x378";
    config.resetLevel = 1;
    config.slots[0] = {true, 3, kHexFormat, "0x0000", "C:\\fw\\main.hex"};
    config.slots[2] = {true, 4, kBinaryFormat, "8000", "C:\\fw\\data.bin"};
    return config;
}

// Expects the write to fail with a FileError naming the file, and the file to stay as it was.
void expectRefusedAndKept(const fs::path& file, const std::string& previous) {
    try {
        writeConfigurationFile(file, twoSlots());
        ADD_FAILURE() << "no error writing " << file;
    } catch (const FileError& e) {
        EXPECT_TRUE(std::string(e.what()).starts_with("Cannot write '" + file.string() + "': "))
            << e.what();
    }
    EXPECT_EQ(testing::readBytes(file), previous);
}

TEST(FullDisk, WriterReportsTheFailureAndKeepsThePreviousFile) {
    testing::TestFolder folder;
    ScratchDisk disk;
    std::string why;
    if (!disk.mount(folder.path(), 64 * 1024, why)) {
        GTEST_SKIP() << why;
    }
    const fs::path file = folder / "Vanter.in3";
    const std::string previous = formatConfiguration(Configuration::defaults());
    testing::writeBytes(file, previous);

    // Fill the disk to its last byte.
    const int filler = ::open((folder / "filler").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(filler, 0);
    const std::string block(4096, 'f');
    std::size_t wrote = 0;
    for (ssize_t n = 0; (n = ::write(filler, block.data(), block.size())) > 0;) {
        wrote += static_cast<std::size_t>(n);
    }
    EXPECT_EQ(errno, ENOSPC);
    ::close(filler);
    ASSERT_GT(wrote, 0u);

    try {
        writeConfigurationFile(file, twoSlots());
        ADD_FAILURE() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.what(), "Cannot write '" + file.string() + "': No space left on device");
    }
    EXPECT_EQ(testing::readBytes(file), previous);
    EXPECT_EQ(folder.entryCount(), 2u); // no temporary left behind

    // With room again the same write goes through.
    fs::remove(folder / "filler");
    writeConfigurationFile(file, twoSlots());
    EXPECT_EQ(testing::readBytes(file), formatConfiguration(twoSlots()));
}

// Root passes every permission check, so a folder's mode bits stop only other users: as root a
// read-only mount stands in for the read-only folder.
TEST(ReadOnlyFolder, WriterReportsTheFailureAndKeepsThePreviousFile) {
    testing::TestFolder folder;
    const fs::path file = folder / "Vanter.in3";
    const std::string previous = formatConfiguration(Configuration::defaults());
    ScratchDisk disk;
    std::string why;
    const bool mounted = disk.mount(folder.path(), 1 << 20, why);
    if (!mounted && ::geteuid() == 0) {
        GTEST_SKIP() << why;
    }
    testing::writeBytes(file, previous);
    if (mounted) {
        disk.makeReadOnly();
    } else {
        fs::permissions(folder.path(), fs::perms(0555));
    }
    expectRefusedAndKept(file, previous);
    EXPECT_EQ(folder.entryCount(), 1u);
    if (!mounted) {
        fs::permissions(folder.path(), fs::perms(0755));
    }
}

// While the guard lives no thread passes permission checks, also one that was running before.
TEST(AsOrdinaryUser, LowersEveryThread) {
    testing::TestFolder folder;
    const fs::path file = folder / "locked.in3";
    testing::writeBytes(file, "N");
    fs::permissions(file, fs::perms::none);
    const auto readable = [&] {
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            ::close(fd);
        }
        return fd >= 0;
    };
    std::atomic<int> step{0};
    bool otherReads = true;
    std::thread other([&] {
        while (step == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        otherReads = readable();
        step = 2;
    });
    {
        const testing::AsOrdinaryUser asOrdinaryUser;
        EXPECT_FALSE(readable());
        step = 1;
        while (step != 2) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    other.join();
    EXPECT_FALSE(otherReads);
}

#endif

} // namespace
} // namespace vanter
