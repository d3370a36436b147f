#include "script_path.h"

#include <gtest/gtest.h>

#ifndef _WIN32

#include <sys/stat.h>
#include <unistd.h>

#include "config/errors.h"
#include "testing/environment.h"
#include "testing/test_folder.h"

namespace {

using vanter::testing::ScopedEnv;
using vanter::testing::TestFolder;

mode_t modeOf(const std::filesystem::path& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

class ScriptPathTest : public ::testing::Test {
protected:
    TestFolder runtime; // private, as mkdtemp makes it
    TestFolder home;
    ScopedEnv homeEnv{"HOME", home.path().string()};
    std::filesystem::path fallback = home / ".cache" / "vanter3" / "$$temp.in3";
};

TEST_F(ScriptPathTest, PrivateRuntimeFolderIsUsed) {
    ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.path().string());
    const std::filesystem::path path = vanter::downloadScriptPath();
    EXPECT_EQ(path, runtime / "vanter3" / "$$temp.in3");
    EXPECT_EQ(modeOf(runtime / "vanter3"), 0700u);
    EXPECT_EQ(vanter::downloadScriptPath(), path); // the folder is reused
}

TEST_F(ScriptPathTest, UnsuitableRuntimeFolderFallsBackToTheCache) {
    std::filesystem::create_directory(runtime / "real");
    std::filesystem::create_directory_symlink(runtime / "real", runtime / "link");
    struct Case {
        const char* name;
        std::optional<std::string> xdg;
        mode_t mode; // of the runtime folder
    };
    const Case cases[] = {
        {"unset", std::nullopt, 0700},
        {"empty", "", 0700},
        {"relative", "relative/run", 0700},
        {"missing", (runtime / "missing").string(), 0700},
        {"world-writable", runtime.path().string(), 0777},
        {"shared like /tmp", runtime.path().string(), 01777},
        {"group-writable", runtime.path().string(), 0770},
        {"a link to a folder", (runtime / "link").string(), 0700},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::chmod(runtime.path().c_str(), c.mode);
        ScopedEnv xdg("XDG_RUNTIME_DIR", c.xdg);
        EXPECT_EQ(vanter::downloadScriptPath(), fallback);
        EXPECT_EQ(modeOf(fallback.parent_path()), 0700u);
        EXPECT_FALSE(std::filesystem::exists(runtime / "vanter3"));
    }
    ::chmod(runtime.path().c_str(), 0700);
}

TEST_F(ScriptPathTest, FolderThatIsNotPrivateIsRefused) {
    ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.path().string());
    const std::filesystem::path folder = runtime / "vanter3";
    std::filesystem::create_directory(runtime / "elsewhere");
    struct Case {
        const char* name;
        void (*plant)(const std::filesystem::path& folder, const std::filesystem::path& other);
    };
    const Case cases[] = {
        {"a link to a folder",
         [](const auto& folder, const auto& other) {
             std::filesystem::create_directory_symlink(other, folder);
         }},
        {"a file",
         [](const auto& folder, const auto&) {
             vanter::testing::writeBytes(folder, "x");
         }},
        {"writable by others",
         [](const auto& folder, const auto&) {
             std::filesystem::create_directory(folder);
             ::chmod(folder.c_str(), 0777);
         }},
        {"writable by the group",
         [](const auto& folder, const auto&) {
             std::filesystem::create_directory(folder);
             ::chmod(folder.c_str(), 0720);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.plant(folder, runtime / "elsewhere");
        try {
            vanter::downloadScriptPath();
            ADD_FAILURE() << "no error";
        } catch (const vanter::FileError& error) {
            EXPECT_NE(std::string(error.what()).find(folder.string()), std::string::npos)
                << error.what();
        }
        std::filesystem::remove(folder);
    }
    EXPECT_TRUE(std::filesystem::is_empty(runtime / "elsewhere"));
}

TEST_F(ScriptPathTest, FolderOfAnotherUserIsRefused) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to give the folder away";
    }
    ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.path().string());
    const std::filesystem::path folder = runtime / "vanter3";
    std::filesystem::create_directory(folder);
    ::chmod(folder.c_str(), 0700);
    ASSERT_EQ(::chown(folder.c_str(), 4242, 4242), 0);
    EXPECT_THROW(vanter::downloadScriptPath(), vanter::FileError);
}

} // namespace

#else

TEST(ScriptPathTest, FixedPathOnWindows) {
    EXPECT_EQ(vanter::downloadScriptPath(), std::filesystem::path("c:\\$$temp.in3"));
}

#endif
