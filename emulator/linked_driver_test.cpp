// The commands with the driver library the program links: in these tests the stand-in (on
// Windows the stand-in's PortGate.dll, through the import library made from PortGate.def).

#include "driver.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "fs/native_name.h"
#include "script_path.h"
#include "testing/environment.h"
#include "testing/fake_reporter.h"
#include "testing/standin_environment.h"
#include "testing/test_folder.h"

namespace {

using vanter::testing::FakeReporter;
using vanter::testing::readBytes;
using vanter::testing::ScopedEnv;
using vanter::testing::writeBytes;

class LinkedDriverTest : public ::testing::Test, protected vanter::testing::StandinEnvironment {
protected:
    ScopedEnv transcriptFile{"VANTER_SIM_TRANSCRIPT", (runtime / "calls.txt").string()};
    std::vector<std::string> log;
    FakeReporter reporter{log};
    vanter::Configuration config = vanter::Configuration::defaults();

    LinkedDriverTest() {
        writeBytes(runtime / "main.bin", "\x55\xaa");
        config.slots[0].fileName = (runtime / "main.bin").string();
        config.slots[2] = config.slots[0];
    }
};

TEST_F(LinkedDriverTest, DownloadReachesTheStandIn) {
    reporter.show(vanter::runDownload(config, vanter::linkedDriver(), reporter));
    EXPECT_EQ(log, (std::vector<std::string>{"status: Download....", "status: Download OK",
                                             "message: Download OK"}));
    EXPECT_EQ(readBytes(runtime / "calls.txt"),
              "SayHello() script=" + vanter::downloadScriptPath().string() +
                  " -> 0\n  note: unit memories in " + (runtime / "state").string() + "\n");

    config.slots[2].fileName = (runtime / "absent.bin").string();
    reporter.show(vanter::runDownload(config, vanter::linkedDriver(), reporter));
    EXPECT_EQ(log.back(), "message: Download Fail");
    EXPECT_EQ(log[log.size() - 2], "status: Download Fail# 40"); // no such file

    ScopedEnv absent("VANTER_SIM_UNITS", "0,1,3");
    reporter.show(vanter::runDownload(config, vanter::linkedDriver(), reporter));
    EXPECT_EQ(log[log.size() - 2], "status: Can't find VANTER III(A)");
}

TEST_F(LinkedDriverTest, CheckReachesTheStandIn) {
    config.port = "0x2F8";
    config.slots[2].memoryType = 14;
    reporter.show(vanter::runCheck(config, vanter::linkedDriver(), reporter));
    EXPECT_EQ(log.back(), "message: Check OK");

    ScopedEnv faulty("VANTER_SIM_FAULT", "2:1f00");
    reporter.show(vanter::runCheck(config, vanter::linkedDriver(), reporter));
    EXPECT_EQ(log[log.size() - 2], "status: Vanter#2 fails at address $1f00");
    EXPECT_EQ(log.back(), "message: Vanter#2 Fail");
    EXPECT_EQ(readBytes(runtime / "calls.txt"),
              "CheckVT(760, 0, 4, 0) -> 0\n"
              "CheckVT(760, 0, 14, 2) -> 0\n"
              "CheckVT(760, 0, 4, 0) -> 0\n"
              "CheckVT(760, 0, 14, 2) -> 8192\n"
              "  reason: unit #2 fails at address 1f00 (VANTER_SIM_FAULT)\n");
}

#if defined(_WIN32) && defined(__i386__)

// Whichever convention the library has, thousands of Checks leave the stack pointer where it
// was, and each argument arrives in its place (a bad one is named by its own code).
TEST_F(LinkedDriverTest, ManyChecksKeepTheStackPointer) {
    ScopedEnv quiet("VANTER_SIM_TRANSCRIPT", std::nullopt);
    struct Row {
        std::int32_t port, reset, memoryType, slot, result;
    };
    const Row rows[] = {
        {1, 0, 4, 0, 0}, {1, 7, 4, 0, 0xE4}, {1, 0, 99, 0, 0xE6}, {1, 0, 4, 9, 0xE5}};
    const auto stackPointer = [] {
        std::uintptr_t sp;
        asm volatile("movl %%esp, %0" : "=r"(sp));
        return sp;
    };
    const std::uintptr_t before = stackPointer();
    int wrong = 0;
    for (int call = 0; call < 4000; ++call) {
        const Row& row = rows[call % 4];
        wrong += vanter::linkedDriver().checkVT(row.port, row.reset, row.memoryType, row.slot) !=
                 row.result;
    }
    EXPECT_EQ(stackPointer(), before);
    EXPECT_EQ(wrong, 0);
}

#endif

#ifdef _WIN32

// The library gets the script at c:\$$temp.in3 and the image name in the ANSI code page.
TEST_F(LinkedDriverTest, AnsiFileNameReachesTheLibraryOnWindows) {
    const std::filesystem::path image = runtime.path() / L"Gr\u00fc\u00dfe \u00e9t\u00e9.bin";
    const std::string name = vanter::nativeName(image);
    if (vanter::pathFromNativeName(name) != image)
        GTEST_SKIP() << "the ANSI code page lacks the letters of the name";
    writeBytes(image, "\x55\xaa");
    config.slots[0].fileName = name;
    config.slots[2].enabled = false;
    reporter.show(vanter::runDownload(config, vanter::linkedDriver(), reporter));
    EXPECT_EQ(log.back(), "message: Download OK");
    EXPECT_NE(readBytes("c:\\$$temp.in3").find("\r\n" + name + "\r\nN"), std::string::npos);

    std::filesystem::remove(image);
    reporter.show(vanter::runDownload(config, vanter::linkedDriver(), reporter));
    EXPECT_EQ(log.back(), "message: Download Fail");
}

#endif

} // namespace
