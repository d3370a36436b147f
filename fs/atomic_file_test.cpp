#include "fs/atomic_file.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include "fs/file_error.h"
#include "fs/native_name.h"
#include "testing/test_folder.h"

namespace vanter {
namespace {

namespace fs = std::filesystem;
using testing::readBytes;
using testing::TestFolder;
using testing::writeBytes;

// Expects a FileError naming `target`; the folder must hold `entries` entries afterwards.
void expectRefused(const fs::path& target, std::string_view bytes) {
    try {
        writeFileAtomically(target, bytes);
        ADD_FAILURE() << "no error writing " << target;
    } catch (const FileError& e) {
        EXPECT_TRUE(std::string(e.what()).starts_with("Cannot write '" + target.string() + "': "))
            << e.what();
    }
}

TEST(AtomicFile, CreatesANewFile) {
    TestFolder folder;
    writeFileAtomically(folder / "new.in3", "1\r\nN");
    writeFileAtomically(folder / "empty.in3", "");
    EXPECT_EQ(readBytes(folder / "new.in3"), "1\r\nN");
    EXPECT_TRUE(fs::is_regular_file(folder / "empty.in3"));
    EXPECT_EQ(fs::file_size(folder / "empty.in3"), 0u);
    EXPECT_EQ(folder.entryCount(), 2u); // no temporary left behind
}

TEST(AtomicFile, RelativeNameInTheWorkingFolder) {
    TestFolder folder;
    const fs::path previous = fs::current_path();
    fs::current_path(folder.path());
    writeFileAtomically("Vanter.in3", "N");
    fs::current_path(previous);
    EXPECT_EQ(readBytes(folder / "Vanter.in3"), "N");
}

TEST(AtomicFile, FolderThatCannotHoldTheFile) {
    TestFolder folder;
    writeBytes(folder / "plain", "a file, not a folder");
    expectRefused(folder / "plain" / "x.in3", "N");
    expectRefused(folder / "missing" / "x.in3", "N");
    fs::create_directory(folder / "dir.in3");
    expectRefused(folder / "dir.in3", "N");
    expectRefused(folder.path() / "", "N");
    EXPECT_TRUE(fs::is_directory(folder / "dir.in3"));
    EXPECT_EQ(readBytes(folder / "plain"), "a file, not a folder");
    EXPECT_EQ(folder.entryCount(), 2u);
}

// A standard user may write c:\$$temp.in3 but create no file beside it. The refusal stands
// in for such a folder, which root never meets: an existing regular file is then written in
// place (a second link to it sees the new bytes); nothing else is written.
TEST(AtomicFile, WritesInPlaceWhereNoFileMayBeCreated) {
    const auto denied = std::make_error_code(std::errc::permission_denied);
    const auto notPermitted = std::make_error_code(std::errc::operation_not_permitted);
    const auto full = std::make_error_code(std::errc::no_space_on_device);
    const struct {
        const char* name;
        const char* previous; // nullptr: no file there
        std::error_code refusal;
        const char* error; // the reason of the FileError; nullptr: written
        LockedFolder locked = LockedFolder::writeInPlace;
    } cases[] = {
        {"existing file, permission denied", "old bytes of the file", denied, nullptr},
        {"existing file, not permitted", "old", notPermitted, nullptr},
        {"no file to write", nullptr, denied, "Permission denied"},
        {"another failure", "old", full, "No space left on device"},
        // A user's configuration file is only ever replaced whole.
        {"a user's file", "old", denied, "Permission denied", LockedFolder::fail},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder folder;
        const auto file = folder / "$$temp.in3";
        if (c.previous != nullptr) {
            writeBytes(file, c.previous);
            fs::create_hard_link(file, folder / "link");
        }
        if (c.error == nullptr) {
            writeFileAtomically(file, "new", LockedFolder::writeInPlace, c.refusal);
            EXPECT_EQ(readBytes(folder / "link"), "new");
        } else {
            try {
                writeFileAtomically(file, "new", c.locked, c.refusal);
                ADD_FAILURE() << "no error";
            } catch (const FileError& e) {
                EXPECT_EQ(e.what(), "Cannot write '" + file.string() + "': " + c.error);
            }
            EXPECT_EQ(fs::exists(file), c.previous != nullptr);
            if (c.previous != nullptr) {
                EXPECT_EQ(readBytes(file), c.previous);
            }
        }
        EXPECT_EQ(folder.entryCount(), c.previous != nullptr ? 2u : 0u);
    }
}

#ifndef _WIN32

// Written in place, a symbolic link is not followed and a named pipe is not waited on.
TEST(AtomicFile, InPlaceWritesNoLinkAndNoPipe) {
    TestFolder folder;
    writeBytes(folder / "pointee", "untouched");
    fs::create_symlink(folder / "pointee", folder / "link.in3");
    ASSERT_EQ(::mkfifo((folder / "pipe.in3").c_str(), 0600), 0);
    for (const char* name : {"link.in3", "pipe.in3"}) {
        try {
            writeFileAtomically(folder / name, "new", LockedFolder::writeInPlace,
                                std::make_error_code(std::errc::permission_denied));
            ADD_FAILURE() << "no error writing " << name;
        } catch (const FileError& e) {
            EXPECT_EQ(e.what(),
                      "Cannot write '" + (folder / name).string() + "': Permission denied");
        }
    }
    EXPECT_EQ(readBytes(folder / "pointee"), "untouched");
}

mode_t permissions(const fs::path& file) {
    struct stat info {};
    EXPECT_EQ(::lstat(file.c_str(), &info), 0);
    return info.st_mode & 07777;
}

TEST(AtomicFile, NewFileGetsTheUsualPermissions) {
    TestFolder folder;
    const mode_t mask = ::umask(027);
    writeFileAtomically(folder / "new.in3", "1\r\nN");
    ::umask(mask);
    EXPECT_EQ(permissions(folder / "new.in3"), 0640u);
}

TEST(AtomicFile, ReplacesAndKeepsThePermissions) {
    TestFolder folder;
    const auto file = folder / "old.in3";
    writeBytes(file, std::string(1000, 'o'));
    fs::permissions(file, fs::perms(0604));
    writeFileAtomically(file, "new");
    EXPECT_EQ(readBytes(file), "new");
    EXPECT_EQ(permissions(file), 0604u);
    EXPECT_EQ(folder.entryCount(), 1u);
}

TEST(AtomicFile, SymbolicLinkIsReplacedNotFollowed) {
    TestFolder folder;
    const auto pointee = folder / "elsewhere.in3";
    const auto link = folder / "link.in3";
    writeBytes(pointee, "untouched");
    fs::create_symlink(pointee, link);
    writeFileAtomically(link, "replaced");
    EXPECT_FALSE(fs::is_symlink(link));
    EXPECT_EQ(readBytes(link), "replaced");
    EXPECT_EQ(readBytes(pointee), "untouched");
}

// A write that fails half-way (the file size limit stands in for a full disk).
TEST(AtomicFile, FailedWriteLeavesThePreviousFileByteIdentical) {
    TestFolder folder;
    const auto file = folder / "keep.in3";
    const std::string previous = "2\r\n1\r\n0\r\n4\r\n2\r\n0\r\nC:\\fw\\main.hex\r\nN";
    writeBytes(file, previous);

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    expectRefused(file, std::string(10000, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(readBytes(file), previous);
    EXPECT_EQ(folder.entryCount(), 1u);
}

// Written in place, a write that fails half-way (the file size limit stands in for a full
// disk) leaves the old bytes, also for a reader that holds another link to the file.
TEST(AtomicFile, FailedWriteInPlaceLeavesThePreviousBytes) {
    const std::string script = "1\r\n0\r\n0\r\n5\r\n1\r\n0\r\n/fw/rom.bin\r\nN";
    const struct {
        const char* name;
        std::string previous;
        std::size_t limit;
        std::size_t size;
    } cases[] = {
        {"a short script, a long new one", script, 1024, 1600},
        {"the old file over the limit, the new one further", std::string(3000, 'o'), 2048, 5000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder folder;
        const auto file = folder / "$$temp.in3";
        writeBytes(file, c.previous);
        fs::create_hard_link(file, folder / "link");
        rlimit saved{};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = c.limit;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        std::string error;
        try {
            writeFileAtomically(file, std::string(c.size, 'n'), LockedFolder::writeInPlace,
                                std::make_error_code(std::errc::permission_denied));
        } catch (const FileError& e) {
            error = e.what();
        }
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_EQ(error, "Cannot write '" + file.string() + "': File too large");
        EXPECT_EQ(readBytes(folder / "link"), c.previous);
        EXPECT_EQ(folder.entryCount(), 2u);
    }
}

#else

// A script held open by another program is reported as that, not as the folder's refusal of a
// temporary file; a symbolic link is not written through.
TEST(AtomicFile, InPlaceWriteOfAHeldFileOrALink) {
    TestFolder folder;
    const auto file = folder / "$$temp.in3";
    writeBytes(file, "old");
    const auto denied = std::error_code(ERROR_ACCESS_DENIED, std::system_category());
    const auto attempt = [&](const fs::path& target) -> std::string {
        try {
            writeFileAtomically(target, "new", LockedFolder::writeInPlace, denied);
        } catch (const FileError& e) {
            return e.what();
        }
        return "written";
    };
    HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(attempt(file),
              "Cannot write '" + nativeName(file) + "': " +
                  std::error_code(ERROR_SHARING_VIOLATION, std::system_category()).message());
    CloseHandle(held);
    EXPECT_EQ(readBytes(file), "old");

    if (!CreateSymbolicLinkW((folder / "link.in3").c_str(), file.c_str(),
                             SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE)) {
        GTEST_SKIP() << "no symbolic link here: "
                     << std::error_code(int(GetLastError()), std::system_category()).message();
    }
    EXPECT_EQ(attempt(folder / "link.in3"),
              "Cannot write '" + nativeName(folder / "link.in3") + "': " + denied.message());
    EXPECT_EQ(readBytes(file), "old");
}

// The previous file is held open without leave to replace it, as an editor or a virus scanner
// may do: the move fails, and nothing changes.
TEST(AtomicFile, ReplaceThatFailsLeavesThePreviousFileByteIdentical) {
    TestFolder folder;
    const auto file = folder / "keep.in3";
    const std::string previous = "2\r\n1\r\n0\r\n4\r\n2\r\n0\r\nC:\\fw\\main.hex\r\nN";
    writeBytes(file, previous);
    HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    expectRefused(file, "new");
    CloseHandle(held);
    EXPECT_EQ(readBytes(file), previous);
    EXPECT_EQ(folder.entryCount(), 1u);
}

// Names as the user types them: backslashes, a drive letter, letters of the ANSI code page.
TEST(AtomicFile, WindowsFileNames) {
    TestFolder folder;
    fs::create_directory(folder / "sub");
    const std::string typed = folder.path().string() + "\\sub\\Vanter.in3";
    writeFileAtomically(typed, "typed");
    EXPECT_EQ(readBytes(folder / "sub" / "Vanter.in3"), "typed");

    const fs::path accented = folder.path() / L"Gr\u00fc\u00dfe \u00e9t\u00e9.in3";
    writeFileAtomically(accented, "accented");
    EXPECT_EQ(readBytes(accented), "accented");
    EXPECT_EQ(folder.entryCount(), 2u);

    // An error names the file as given, backslashes included, in the ANSI code page.
    const std::string missing = folder.path().string() + "\\missing\\x.in3";
    expectRefused(missing, "N");
    try {
        writeFileAtomically(folder.path() / L"\u00e9t\u00e9" / "x.in3", "N");
        ADD_FAILURE() << "no error";
    } catch (const FileError& e) {
        const std::string name = nativeName(folder.path()) + "\\" + nativeName(L"\u00e9t\u00e9");
        EXPECT_TRUE(std::string(e.what()).starts_with("Cannot write '" + name + "\\x.in3': "))
            << e.what();
    }
}

#endif

} // namespace
} // namespace vanter
