#include "commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/errors.h"
#include "fs/native_name.h"
#include "script_path.h"
#include "testing/environment.h"
#include "testing/fake_driver.h"
#include "testing/fake_reporter.h"
#include "testing/test_folder.h"

namespace {

using vanter::CommandOutcome;
using vanter::Configuration;
using vanter::testing::FakeDriver;
using vanter::testing::FakeReporter;
using vanter::testing::readBytes;
using vanter::testing::TestFolder;
using vanter::testing::writeBytes;

using Log = std::vector<std::string>;

Configuration enabling(std::initializer_list<int> slots) {
    Configuration config = Configuration::defaults();
    config.slots[0].enabled = false;
    for (int slot : slots) {
        config.slots[static_cast<std::size_t>(slot)].enabled = true;
    }
    return config;
}

// The default configuration's script.
const std::string kDefaultScript = "1\r\n0\r\n0\r\n5\r\n1\r\n0\r\n\r\nN";

class DownloadTest : public ::testing::Test {
protected:
    TestFolder folder;
    std::filesystem::path script = folder / "$$temp.in3";
    Log log;
    FakeReporter reporter{log};
    FakeDriver driver{log, script};

    CommandOutcome download(const Configuration& config) {
        return reporter.show(vanter::runDownload(config, driver, reporter, script));
    }
};

struct ResultRow {
    std::int32_t result;
    const char* status;
    const char* message;
};

TEST_F(DownloadTest, EveryResultGivesItsStatusAndVerdict) {
    const ResultRow rows[] = {
        {0, "Download OK", "Download OK"},
        {-1, "LPT Driver might not be installed", "Download Fail"},
        {146, "Fail to initialize USB port", "Download Fail"},
        {153, "Can't find VANTER III(A)", "Download Fail"},
        {256, "Download Fail# 100", "Download Fail"},
        {-2, "Download Fail# fffffffe", "Download Fail"},
        {419, "Download Fail# 1a3", "Download Fail"},
        {1, "Download Fail# 1", "Download Fail"},
        {0xE9, "Download Fail# e9", "Download Fail"},
        {INT32_MIN, "Download Fail# 80000000", "Download Fail"},
    };
    for (const ResultRow& row : rows) {
        SCOPED_TRACE(row.result);
        log.clear();
        driver.scriptsSeen.clear();
        driver.helloResult = row.result;
        const CommandOutcome outcome = download(Configuration::defaults());
        EXPECT_EQ(log,
                  (Log{"status: Download....", "SayHello()", std::string("status: ") + row.status,
                       std::string("message: ") + row.message}));
        EXPECT_EQ(outcome.kind, CommandOutcome::Kind::DriverCalled);
        EXPECT_EQ(outcome.driverResults, std::vector<std::int32_t>{row.result});
        EXPECT_EQ(outcome.succeeded(), row.result == 0);
        // The script is complete and closed before the driver reads it.
        EXPECT_EQ(driver.scriptsSeen, Log{kDefaultScript});
    }
}

TEST_F(DownloadTest, OnlySlotTwoGivesItsRecordAloneAndOneCall) {
    Configuration config = enabling({2});
    config.port = "0x378";
    config.resetLevel = 1;
    config.slots[2].memoryType = 3;
    config.slots[2].fileFormat = vanter::kHexFormat;
    config.slots[2].offset = "8000";
    config.slots[2].fileName = "/fw/data.hex";
    download(config);
    EXPECT_EQ(driver.scriptsSeen, Log{"2\r\n1\r\n2\r\n4\r\n2\r\n8000\r\n/fw/data.hex\r\nN"});
    EXPECT_EQ(std::count(log.begin(), log.end(), "SayHello()"), 1);
}

TEST_F(DownloadTest, RefusalShowsOnlyItsMessageAndTouchesNoFile) {
    const Configuration none = enabling({});
    EXPECT_EQ(download(none).kind, CommandOutcome::Kind::NoUnitEnabled);
    EXPECT_EQ(log, Log{"message: No Vanter is selected: Abort!!"});
    EXPECT_FALSE(std::filesystem::exists(script));

    writeBytes(script, "previous script");
    log.clear();
    download(none);
    EXPECT_EQ(log, Log{"message: No Vanter is selected: Abort!!"});
    EXPECT_EQ(readBytes(script), "previous script");
}

TEST_F(DownloadTest, SecondDownloadReplacesTheFirstScriptCompletely) {
    Configuration first = enabling({0, 1, 2, 3});
    for (auto& slot : first.slots) {
        slot.fileName = "/a/rather/long/image/file/name/for/every/unit.bin";
    }
    download(first);
    const Configuration second = enabling({3});
    download(second);
    const std::string expected = "1\r\n0\r\n3\r\n5\r\n1\r\n0\r\n\r\nN";
    EXPECT_EQ(readBytes(script), expected);
    ASSERT_EQ(driver.scriptsSeen.size(), 2u);
    EXPECT_EQ(driver.scriptsSeen[1], expected);
}

TEST_F(DownloadTest, TypedPortThatDoesNotConvertStopsBeforeAnything) {
    writeBytes(script, "previous script");
    for (const char* port : {"lpt1", "", "700 "}) {
        SCOPED_TRACE(port);
        Configuration config = Configuration::defaults();
        config.port = port;
        EXPECT_THROW(download(config), vanter::ConversionError);
        EXPECT_TRUE(log.empty());
        EXPECT_EQ(readBytes(script), "previous script");
    }
}

TEST_F(DownloadTest, ScriptThatCantBeWrittenIsReportedAndTheDriverNotCalled) {
    struct Case {
        const char* name;
        std::filesystem::path script;
        std::string fileName;
    };
    const Case cases[] = {
        {"folder missing", folder / "missing" / "$$temp.in3", ""},
        {"file name breaks a line", folder / "$$temp.in3", "two\nlines"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        Configuration config = Configuration::defaults();
        config.slots[0].fileName = c.fileName;
        const CommandOutcome outcome =
            reporter.show(vanter::runDownload(config, driver, reporter, c.script));
        EXPECT_EQ(outcome.kind, CommandOutcome::Kind::ScriptNotWritten);
        EXPECT_NE(outcome.reason.find(c.script.string()), std::string::npos) << outcome.reason;
        ASSERT_EQ(log.size(), 2u);
        EXPECT_TRUE(log[0].starts_with("status: Download Fail: ")) << log[0];
        EXPECT_NE(log[0].find(c.script.string()), std::string::npos) << log[0];
        EXPECT_TRUE(log[1].starts_with("message: Download Fail\n")) << log[1];
        EXPECT_NE(log[1].find(c.script.string()), std::string::npos) << log[1];
        EXPECT_TRUE(driver.scriptsSeen.empty());
    }
}

#ifndef _WIN32

TEST_F(DownloadTest, LinkPlantedAtTheScriptIsReplacedNotFollowed) {
    const std::filesystem::path victim = folder / "victim";
    writeBytes(victim, "precious");
    std::filesystem::create_symlink(victim, script);
    download(Configuration::defaults());
    EXPECT_FALSE(std::filesystem::is_symlink(script));
    EXPECT_EQ(readBytes(script), kDefaultScript);
    EXPECT_EQ(readBytes(victim), "precious");
}

// The program's own entry: the script goes to the private runtime folder.
class DownloadToScriptPathTest : public ::testing::Test {
protected:
    TestFolder runtime;
    vanter::testing::ScopedEnv xdg{"XDG_RUNTIME_DIR", runtime.path().string()};
    Log log;
    FakeReporter reporter{log};
};

TEST_F(DownloadToScriptPathTest, WritesThePrivateScript) {
    const std::filesystem::path script = runtime / "vanter3" / "$$temp.in3";
    FakeDriver driver{log, script};
    reporter.show(vanter::runDownload(Configuration::defaults(), driver, reporter));
    EXPECT_EQ(driver.scriptsSeen, Log{kDefaultScript});
    EXPECT_EQ(log.back(), "message: Download OK");
}

TEST_F(DownloadToScriptPathTest, UnsafeFolderIsReportedAndTheDriverNotCalled) {
    std::filesystem::create_directory(runtime / "elsewhere");
    std::filesystem::create_directory_symlink(runtime / "elsewhere", runtime / "vanter3");
    FakeDriver driver{log, runtime / "vanter3" / "$$temp.in3"};
    reporter.show(vanter::runDownload(Configuration::defaults(), driver, reporter));
    ASSERT_EQ(log.size(), 2u);
    EXPECT_TRUE(log[0].starts_with("status: Download Fail: ")) << log[0];
    EXPECT_NE(log[0].find((runtime / "vanter3").string()), std::string::npos) << log[0];
    EXPECT_TRUE(log[1].starts_with("message: Download Fail\n")) << log[1];
    EXPECT_TRUE(driver.scriptsSeen.empty());
    EXPECT_TRUE(std::filesystem::is_empty(runtime / "elsewhere"));
}

#else

// The program's own entry on Windows: the fixed script that the maker's library reads, with
// file names in the ANSI code page and their backslashes, as the window hands them over.
TEST(DownloadToScriptPathTest, WritesTheFixedScriptOnWindows) {
    const std::filesystem::path script = "c:\\$$temp.in3";
    ASSERT_EQ(vanter::downloadScriptPath(), script);
    Log log;
    FakeReporter reporter{log};
    FakeDriver driver{log, script};
    Configuration config = Configuration::defaults();
    const std::string name = vanter::nativeName(L"C:\\Firmware\\Gr\u00fc\u00dfe\\boot.hex");
    config.slots[0].fileName = name;
    reporter.show(vanter::runDownload(config, driver, reporter));
    const std::string expected = "1\r\n0\r\n0\r\n5\r\n1\r\n0\r\n" + name + "\r\nN";
    EXPECT_EQ(driver.scriptsSeen, Log{expected});
    EXPECT_EQ(readBytes(script), expected); // left in place for the library
    EXPECT_EQ(log.back(), "message: Download OK");
}

#endif

class CheckTest : public ::testing::Test {
protected:
    TestFolder folder;
    Log log;
    FakeReporter reporter{log};
    FakeDriver driver{log, folder / "unused"};

    CommandOutcome check(const Configuration& config) {
        return reporter.show(vanter::runCheck(config, driver, reporter));
    }
};

TEST_F(CheckTest, SlotsOneAndThreePassInOrder) {
    Configuration config = enabling({1, 3});
    config.slots[1].memoryType = 14; // "32M": the call counts from 0
    config.slots[3].memoryType = 0;  // "2764"
    const CommandOutcome outcome = check(config);
    EXPECT_EQ(outcome.driverResults, (std::vector<std::int32_t>{0, 0}));
    EXPECT_TRUE(outcome.succeeded());
    EXPECT_EQ(log, (Log{"status: Checking Vanter#1...", "CheckVT(1, 0, 14, 1)",
                        "status: Checking Vanter#3...", "CheckVT(1, 0, 0, 3)",
                        "status: Checking Vanter OK", "message: Check OK"}));
}

TEST_F(CheckTest, FirstFailureEndsTheCommand) {
    Configuration config = enabling({0, 1, 2, 3});
    driver.checkResults = {256};
    check(config);
    EXPECT_EQ(log, (Log{"status: Checking Vanter#0...", "CheckVT(1, 0, 4, 0)",
                        "status: Vanter#0 fails at address $0", "message: Vanter#0 Fail"}));
}

TEST_F(CheckTest, FailureTexts) {
    struct Row {
        int slot;
        std::int32_t result;
        const char* status;
    };
    const Row rows[] = {
        {2, 255, "Vanter#2 config error $ff"},
        {0, -1, "Vanter#0 config error $ffffffff"},
        {0, 5, "Vanter#0 config error $5"},
        {1, 153, "Vanter#1 config error $99"},
        {0, 0x1234, "Vanter#0 fails at address $1134"},
        {3, 257, "Vanter#3 fails at address $1"},
        {3, INT32_MAX, "Vanter#3 fails at address $7ffffeff"},
        {1, INT32_MIN, "Vanter#1 config error $80000000"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.status);
        log.clear();
        driver.checkResults = {row.result};
        const CommandOutcome outcome = check(enabling({row.slot}));
        EXPECT_EQ(outcome.driverResults, std::vector<std::int32_t>{row.result});
        EXPECT_FALSE(outcome.succeeded());
        const std::string name = "Vanter#" + std::to_string(row.slot);
        EXPECT_EQ(log, (Log{"status: Checking " + name + "...",
                            "CheckVT(1, 0, 4, " + std::to_string(row.slot) + ")",
                            std::string("status: ") + row.status, "message: " + name + " Fail"}));
    }
}

TEST_F(CheckTest, PassingSlotsBeforeAFailureAreReportedOnlyByTheFailure) {
    driver.checkResults = {0, 0x99};
    EXPECT_EQ(check(enabling({0, 2, 3})).driverResults, (std::vector<std::int32_t>{0, 0x99}));
    EXPECT_EQ(log, (Log{"status: Checking Vanter#0...", "CheckVT(1, 0, 4, 0)",
                        "status: Checking Vanter#2...", "CheckVT(1, 0, 4, 2)",
                        "status: Vanter#2 config error $99", "message: Vanter#2 Fail"}));
}

TEST_F(CheckTest, PortNumberForEverySlot) {
    struct Row {
        const char* port;
        std::int32_t number;
    };
    const Row rows[] = {{"0x3BC", 1}, {"USB", 5},   {"usb", 5},   {"0x2F8", 760},
                        {"0x378", 2}, {"0X378", 2}, {"700", 700}, {"0x2bc", 700},
                        {"3", 3},     {"$ff", 255}, {"-5", -5}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.port);
        log.clear();
        Configuration config = enabling({0, 2});
        config.port = row.port;
        check(config);
        const std::string n = std::to_string(row.number);
        EXPECT_EQ(log[1], "CheckVT(" + n + ", 0, 4, 0)");
        EXPECT_EQ(log[3], "CheckVT(" + n + ", 0, 4, 2)");
    }
}

TEST_F(CheckTest, TypedPortThatDoesNotConvertStopsBeforeAnyStatusOrCall) {
    for (const char* port : {"lpt1", "", " USB", "5 "}) {
        SCOPED_TRACE(port);
        Configuration config = enabling({0, 1});
        config.port = port;
        EXPECT_THROW(check(config), vanter::ConversionError);
        EXPECT_TRUE(log.empty());
    }
}

TEST_F(CheckTest, NothingSelectedPassesMinusOne) {
    Configuration config = enabling({0});
    config.resetLevel = -1;
    config.slots[0].memoryType = -1;
    check(config);
    EXPECT_EQ(log[1], "CheckVT(1, -1, -1, 0)");

    log.clear();
    config.resetLevel = 1;
    check(config);
    EXPECT_EQ(log[1], "CheckVT(1, 1, -1, 0)");
}

TEST_F(CheckTest, RefusalShowsOnlyItsMessage) {
    Configuration config = enabling({});
    config.port = "lpt1"; // the refusal comes first
    EXPECT_EQ(check(config).kind, CommandOutcome::Kind::NoUnitEnabled);
    EXPECT_EQ(log, Log{"message: No Vanter is selected: Abort!!"});
}

} // namespace
