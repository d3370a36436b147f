// The commands with the driver library the program links: on this platform the stand-in.

#include "driver.h"

#include <gtest/gtest.h>

#ifndef _WIN32

#include <string>
#include <vector>

#include "commands.h"
#include "test_support.h"

namespace {

using vanter::testing::readBytes;
using vanter::testing::ScopedEnv;
using vanter::testing::TestFolder;
using vanter::testing::writeBytes;

class RecordingReporter final : public vanter::Reporter {
public:
    std::vector<std::string> log;
    void setStatusText(std::string_view text) override { log.emplace_back(text); }
    void showMessage(std::string_view text) override {
        log.push_back("[" + std::string(text) + "]");
    }
};

class LinkedDriverTest : public ::testing::Test {
protected:
    TestFolder runtime;
    ScopedEnv xdg{"XDG_RUNTIME_DIR", runtime.path().string()};
    ScopedEnv units{"VANTER_SIM_UNITS", std::nullopt};
    ScopedEnv fault{"VANTER_SIM_FAULT", std::nullopt};
    ScopedEnv transcript{"VANTER_SIM_TRANSCRIPT", (runtime / "calls.txt").string()};
    RecordingReporter reporter;
    vanter::Configuration config = vanter::Configuration::defaults();

    LinkedDriverTest() {
        writeBytes(runtime / "main.bin", "\x55\xaa");
        config.slots[0].fileName = (runtime / "main.bin").string();
        config.slots[2] = config.slots[0];
    }
};

TEST_F(LinkedDriverTest, DownloadReachesTheStandIn) {
    vanter::runDownload(config, vanter::linkedDriver(), reporter);
    EXPECT_EQ(reporter.log,
              (std::vector<std::string>{"Download....", "Download OK", "[Download OK]"}));
    EXPECT_EQ(readBytes(runtime / "calls.txt"),
              "SayHello() script=" + (runtime / "vanter3" / "$$temp.in3").string() + " -> 0\n");

    config.slots[2].fileName = (runtime / "absent.bin").string();
    vanter::runDownload(config, vanter::linkedDriver(), reporter);
    EXPECT_EQ(reporter.log.back(), "[Download Fail]");
    EXPECT_EQ(reporter.log[reporter.log.size() - 2], "Download Fail# e9");

    ScopedEnv absent("VANTER_SIM_UNITS", "0,1,3");
    vanter::runDownload(config, vanter::linkedDriver(), reporter);
    EXPECT_EQ(reporter.log[reporter.log.size() - 2], "Can't find VANTER III(A)");
}

TEST_F(LinkedDriverTest, CheckReachesTheStandIn) {
    config.port = "0x2F8";
    config.slots[2].memoryType = 14;
    vanter::runCheck(config, vanter::linkedDriver(), reporter);
    EXPECT_EQ(reporter.log.back(), "[Check OK]");

    ScopedEnv faulty("VANTER_SIM_FAULT", "2:1f00");
    vanter::runCheck(config, vanter::linkedDriver(), reporter);
    EXPECT_EQ(reporter.log[reporter.log.size() - 2], "Vanter#2 fails at address $1f00");
    EXPECT_EQ(reporter.log.back(), "[Vanter#2 Fail]");
    EXPECT_EQ(readBytes(runtime / "calls.txt"),
              "CheckVT(760, 0, 4, 0) -> 0\n"
              "CheckVT(760, 0, 14, 2) -> 0\n"
              "CheckVT(760, 0, 4, 0) -> 0\n"
              "CheckVT(760, 0, 14, 2) -> 8192\n"
              "  reason: unit #2 fails at address 1f00 (VANTER_SIM_FAULT)\n");
}

} // namespace

#endif
