#include "fs/native_name.h"

#include <gtest/gtest.h>

#include <optional>

#include "testing/test_folder.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace vanter {
namespace {

namespace fs = std::filesystem;
using testing::readBytes;
using testing::TestFolder;
using testing::writeBytes;

TEST(NativeName, NamesRoundTripWithSeparatorsAsTyped) {
    for (const std::string name :
         {"Vanter.in3", "C:\\fw\\main.hex", "..\\images\\boot rom.s19", "/srv/fw/main.hex", ""}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(nativeName(pathFromNativeName(name)), name);
    }
}

#ifdef _WIN32

// The ANSI form of a name, or nothing when the code page lacks one of its characters.
std::optional<std::string> ansi(const std::wstring& wide) {
    BOOL lossy = FALSE;
    char text[MAX_PATH];
    const int length =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                            static_cast<int>(wide.size()), text, sizeof text, nullptr, &lossy);
    if (length <= 0 || lossy) {
        return std::nullopt;
    }
    return std::string(text, static_cast<std::size_t>(length));
}

TEST(NativeName, WindowsNamesAreInTheAnsiCodePage) {
    const std::wstring wide = L"Gr\u00fc\u00dfe \u00e9t\u00e9.hex";
    const auto bytes = ansi(wide);
    if (!bytes) {
        GTEST_SKIP() << "code page " << GetACP() << " lacks the letters of the name";
    }
    EXPECT_EQ(pathFromNativeName(*bytes), fs::path(wide));
    EXPECT_EQ(nativeName(fs::path(wide)), *bytes);
    if (GetACP() == 1252) {
        // Bytes that Latin-1 would read otherwise.
        EXPECT_EQ(pathFromNativeName("\x80 \x9c"), fs::path(L"\u20ac \u0153"));
        EXPECT_EQ(nativeName(fs::path(L"\u20ac")), "\x80");
    }

    // The file made under one form is found under the other.
    TestFolder folder;
    writeBytes(folder.path() / wide, "image");
    EXPECT_EQ(readBytes(pathFromNativeName(nativeName(folder.path()) + "\\" + *bytes)), "image");
}

// "Ł" must never reach the driver as "L": that could name another file.
TEST(NativeName, NamesTheCodePageLacksAreNeverLookAlikes) {
    if (GetACP() != 1252) {
        GTEST_SKIP() << "written for code page 1252, not " << GetACP();
    }
    const fs::path lodz(L"C:\\Firmware\\\u0141\u00f3d\u017a\\rom.bin");
    EXPECT_EQ(exactNativeName(lodz), std::nullopt);
    EXPECT_EQ(nativeName(lodz), "C:\\Firmware\\?\xf3"
                                "d?\\rom.bin");
    EXPECT_EQ(exactNativeName(fs::path(L"\u20ac caf\u00e9")), "\x80 caf\xe9");
}

TEST(NativeName, AFileTheCodePageCantNameIsReachedByItsShortName) {
    TestFolder folder;
    const fs::path lodz = folder.path() / L"\u0141\u00f3d\u017a";
    fs::create_directories(lodz);
    writeBytes(lodz / "rom.bin", "chosen");
    // The look-alike folder holds another file of the same name.
    fs::create_directories(folder.path() / L"L\u00f3dz");
    writeBytes(folder.path() / L"L\u00f3dz" / "rom.bin", "other");

    const fs::path plain = folder.path() / "plain.bin";
    writeBytes(plain, "plain");
    EXPECT_EQ(nameInCodePage(plain), plain);
    EXPECT_EQ(nameInCodePage(lodz / "missing.bin"), std::nullopt);
    const std::optional<fs::path> held = nameInCodePage(lodz / "rom.bin");
    if (!held && GetACP() == 1252) {
        GTEST_SKIP() << "this volume keeps no short names";
    }
    ASSERT_TRUE(held);
    const std::optional<std::string> bytes = exactNativeName(*held);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(readBytes(pathFromNativeName(*bytes)), "chosen");
}

TEST(NativeName, BackslashesAndDrivesKeepTheirMeaning) {
    const fs::path path = pathFromNativeName("c:\\fw\\main.hex");
    EXPECT_EQ(path.root_name(), fs::path("c:"));
    EXPECT_EQ(path.parent_path(), fs::path("c:\\fw"));
    EXPECT_EQ(path.filename(), fs::path("main.hex"));
}

#else

TEST(NativeName, BytesAreKeptAsTheyAre) {
    const std::string latin1 = "Gr\xfc\xdf"
                               "e.hex"; // not UTF-8
    EXPECT_EQ(pathFromNativeName(latin1).native(), latin1);
    EXPECT_EQ(nativeName(fs::path(latin1)), latin1);
    EXPECT_EQ(exactNativeName(fs::path(latin1)), latin1);
    EXPECT_EQ(nameInCodePage(fs::path(latin1)), fs::path(latin1));
}

#endif

} // namespace
} // namespace vanter
