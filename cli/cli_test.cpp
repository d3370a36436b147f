#include "cli.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "emulator/script_path.h"
#include "exit_status.h"
#include "testing/environment.h"
#include "testing/fake_driver.h"
#include "cli/fake_watch_system.h"
#include "testing/test_folder.h"

namespace vanter::cli {
namespace {

using namespace std::chrono_literals;
using vanter::testing::FakeDriver;
using vanter::testing::ScopedEnv;
using vanter::testing::TestFolder;
using vanter::testing::writeBytes;
using FakeSystem = vanter::testing::FakeWatchSystem;

// The worked example: port "0x378", reset "High", slot #0 "27512" Hex, slot #2 "27010" Binary.
constexpr std::string_view kExample = "2\r\n1\r\n0\r\n4\r\n2\r\n0\r\nmain.hex\r\nY\r\n"
                                      "2\r\n5\r\n1\r\n8000\r\ndata.bin\r\nN";

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(folder / "run", error);
        std::filesystem::permissions(folder / "run", std::filesystem::perms::owner_all, error);
        writeBytes(folder / "example.in3", kExample);
    }

    int run(std::vector<std::string_view> args) {
        out.str("");
        err.str("");
        CliContext context{out, err, driver, system, WatchTiming{100ms, 400ms}};
        return runCli(args, context);
    }

    std::string file(std::string_view name) const { return (folder / name).string(); }

    TestFolder folder;
    std::error_code error;
    ScopedEnv runtime{"XDG_RUNTIME_DIR", (folder / "run").string()};
    FakeDriver driver;
    FakeSystem system;
    std::ostringstream out;
    std::ostringstream err;
};

struct DownloadCase {
    std::int32_t result;
    int status;
    std::string out;
    std::string err;
};

TEST_F(CliTest, DownloadPrintsTheWindowsTextsAndExitsByResult) {
    const std::string example = file("example.in3");
    const std::vector<DownloadCase> cases = {
        {0, kExitOk, "Download....\nDownload OK\n", ""},
        {-1, kExitFailed, "Download....\nLPT Driver might not be installed\n", "Download Fail\n"},
        {146, kExitFailed, "Download....\nFail to initialize USB port\n", "Download Fail\n"},
        {153, kExitFailed, "Download....\nCan't find VANTER III(A)\n", "Download Fail\n"},
        {-2, kExitFailed, "Download....\nDownload Fail# fffffffe\n", "Download Fail\n"},
    };
    for (const DownloadCase& c : cases) {
        SCOPED_TRACE(c.result);
        driver.helloResults = {c.result};
        EXPECT_EQ(run({"download", example}), c.status);
        EXPECT_EQ(out.str(), c.out);
        EXPECT_EQ(err.str(), c.err);
    }
    EXPECT_EQ(driver.helloCalls, 5);
    // The script is the configuration, byte for byte.
    EXPECT_EQ(vanter::testing::readBytes(downloadScriptPath()), kExample);
}

TEST_F(CliTest, CheckPrintsTheWindowsTextsAndExitsByResult) {
    EXPECT_EQ(run({"check", file("example.in3")}), kExitOk);
    EXPECT_EQ(out.str(), "Checking Vanter#0...\nChecking Vanter#2...\nChecking Vanter OK\n"
                         "Check OK\n");
    EXPECT_EQ(err.str(), "");
    // Port 2, reset 1, memory types counted from 0.
    EXPECT_EQ(driver.checkCalls, (std::vector<FakeDriver::CheckCall>{{2, 1, 3, 0}, {2, 1, 4, 2}}));

    driver.checkResults = {0, 256 + 0x1f00};
    EXPECT_EQ(run({"check", file("example.in3")}), kExitFailed);
    EXPECT_EQ(out.str(), "Checking Vanter#0...\nChecking Vanter#2...\n"
                         "Vanter#2 fails at address $1f00\n");
    EXPECT_EQ(err.str(), "Vanter#2 Fail\n");

    driver.checkResults = {-1};
    EXPECT_EQ(run({"check", file("example.in3")}), kExitFailed);
    EXPECT_EQ(out.str(), "Checking Vanter#0...\nVanter#0 config error $ffffffff\n");
    EXPECT_EQ(err.str(), "Vanter#0 Fail\n");
}

TEST_F(CliTest, AScriptThatCantBeWrittenLeavesTheDriverAlone) {
#ifdef _WIN32
    GTEST_SKIP() << "the script's place is fixed on Windows";
#endif
    writeBytes(folder / "run" / "vanter3", "a file where the folder belongs");
    EXPECT_EQ(run({"download", file("example.in3")}), kExitScript);
    EXPECT_EQ(driver.helloCalls, 0);
    EXPECT_EQ(out.str().rfind("Download Fail: ", 0), 0u) << out.str();
    EXPECT_NE(out.str().find(file("run/vanter3")), std::string::npos) << out.str();
    EXPECT_EQ(err.str(), "Download Fail\n");
}

TEST_F(CliTest, TheFileIsReadIntoAnEmptyConfiguration) {
    // Only slot #1 is listed: the defaults (slot #0 enabled) play no part.
    writeBytes(folder / "one.in3", "5\r\n0\r\n1\r\n1\r\n3\r\n0\r\nfw.s19\r\nN");
    EXPECT_EQ(run({"show", file("one.in3")}), kExitOk);
    EXPECT_EQ(out.str(), "Port: USB (port number 5)\n"
                         "Reset level: Low\n"
                         "VANTER #1: 2764, S-record\n"
                         "  Target System address of EPROM: 0\n"
                         "  Image file: fw.s19\n");
    EXPECT_EQ(run({"check", file("one.in3")}), kExitOk);
    EXPECT_EQ(driver.checkCalls, (std::vector<FakeDriver::CheckCall>{{5, 0, 0, 1}}));
}

TEST_F(CliTest, WatchPrintsATimestampedLinePerDownloadAndEndsWithSuccess) {
    writeBytes(folder / "main.hex", ":00000001FF\n");
    const std::filesystem::path example = file("example.in3");
    system.touch(example);
    system.touch("main.hex");
    system.touch("data.bin");
    driver.helloResults = {0, 153, 0};
    system.onSleep = [&](WatchSystem::Clock::duration t) {
        if (t == 1000ms) {
            system.touch("data.bin");
        } else if (t == 2000ms) {
            writeBytes(example, "zz"); // a broken configuration: reported, still watched
            system.touch(example);
        } else if (t == 3000ms) {
            writeBytes(example, kExample);
            system.touch(example);
        } else if (t == 4000ms) {
            system.stop = true;
        }
    };
    EXPECT_EQ(run({"download", "--watch", example.string()}), kExitOk);
    EXPECT_EQ(driver.helloCalls, 3);
    EXPECT_EQ(out.str(), "2024-05-01 12:00:00 Download OK\n"
                         "2024-05-01 12:00:00 Download OK\n");
    EXPECT_EQ(err.str(), "2024-05-01 12:00:00 Can't find VANTER III(A)\n"
                         "2024-05-01 12:00:00 '0xzz' is not a valid integer value\n");
}

TEST_F(CliTest, WatchRefusesAFileThatIsNotThere) {
    EXPECT_EQ(run({"download", "--watch", file("gone.in3")}), kExitConfiguration);
    EXPECT_EQ(err.str(), "Cannot read '" + file("gone.in3") + "': No such file or directory\n");
    EXPECT_EQ(driver.helloCalls, 0);
}

} // namespace
} // namespace vanter::cli
