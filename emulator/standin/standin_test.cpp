// The stand-in driver library through its C interface, as the program calls it.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "emulator/images/image_error.h"
#include "emulator/portgate.h"
#include "emulator/script_path.h"
#include "result_codes.h"
#include "state_folder.h"
#include "testing/environment.h"
#include "testing/standin_environment.h"
#include "testing/test_folder.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

using namespace vanter::standin;
using vanter::testing::readBytes;
using vanter::testing::ScopedEnv;
using vanter::testing::writeBytes;

using Env = std::vector<std::pair<const char*, std::string>>;
using vanter::images::LoadFailure;

constexpr LoadFailure kImageFailures[] = {
    LoadFailure::fileMissing,     LoadFailure::fileUnreadable,    LoadFailure::malformedRecord,
    LoadFailure::badChecksum,     LoadFailure::unknownRecordType, LoadFailure::recordCountMismatch,
    LoadFailure::beforePartStart, LoadFailure::pastPartEnd,       LoadFailure::contradictoryData,
    LoadFailure::imageTooLarge};

constexpr std::int32_t kImageMissing = resultCode(LoadFailure::fileMissing);
constexpr std::int32_t kImageUnreadable = resultCode(LoadFailure::fileUnreadable);

class StandinTest : public ::testing::Test, protected vanter::testing::StandinEnvironment {
protected:
    std::string image = (runtime / "image.bin").string();

    // Images of the other formats: three bytes as Intel HEX at 8000, one as S3 at FFFFFFFF.
    std::string hexImage = (runtime / "image.hex").string();
    std::string srecImage = (runtime / "image.s37").string();

    StandinTest() {
        writeBytes(image, "\x01\x02\x03");
        writeBytes(hexImage, ":0380000001020377\n:00000001FF\n");
        writeBytes(srecImage, "S306FFFFFFFF01FC\nS70500000000FA\n");
    }

    void writeScript(const std::string& text) { writeBytes(vanter::downloadScriptPath(), text); }

    // A unit record with the test image, and its continuation line.
    std::string unit(int slot, const char* continuation = "N") const {
        return std::to_string(slot) + "\r\n5\r\n1\r\n0\r\n" + image + "\r\n" + continuation;
    }

    static void setAll(const Env& env) {
        for (const auto& [name, value] : env) {
            vanter::testing::setEnv(name, value);
        }
    }
};

TEST_F(StandinTest, ValidScriptsLoad) {
    const std::vector<std::string> scripts = {
        "1\r\n0\r\n" + unit(0),
        "5\r\n1\r\n" + unit(0, "Y") + "\r\n" + unit(1, "Y") + "\r\n" + unit(2, "Y") + "\r\n" +
            unit(3),
        "2bc\n0\n2\n15\n3\nFFFFFFFF\n" + srecImage + "\nN",        // LF only, a typed port
        "2F8\r\n1\r\n" + unit(3, "Y") + "\r\n" + unit(1) + "\r\n", // any order, a final line end
        "d010\n0\n0\n1\n2\n8000\n" + hexImage + "\nN\n",
    };
    for (const std::string& script : scripts) {
        SCOPED_TRACE(script);
        writeScript(script);
        EXPECT_EQ(SayHello(), kOk);
    }
}

TEST_F(StandinTest, EachFaultOfTheScriptHasItsCode) {
    std::filesystem::create_directory(runtime / "folder");
    const std::string tail = "\r\n" + image + "\r\nN";
    struct Row {
        std::string script;
        std::int32_t code;
    };
    const std::vector<Row> rows = {
        {"", kScriptMalformed},
        {"x3bc\r\n0\r\n" + unit(0), kScriptMalformed},
        {"1", kScriptMalformed},
        {"1\r\n0", kScriptMalformed},
        {"1\r\n0\r\n0\r\n5\r\n1\r\n0", kScriptMalformed},
        {"1\r\n0\r\n" + unit(0, "y"), kScriptMalformed},
        {"1\r\n0\r\n" + unit(0, "Y"), kScriptMalformed},
        {"1\r\n0\r\n" + unit(0) + "\r\nN", kScriptMalformed},
        {"1\r\n0\r\n" + unit(0) + "\r\n\r\n", kScriptMalformed},
        {"1\r\r\n0\r\n" + unit(0), kScriptMalformed},
        {"1\r\nLow\r\n" + unit(0), kScriptMalformed},
        {"1\r\n0\r\nA\r\n5\r\n1\r\n0" + tail, kScriptMalformed},
        {"1\r\n0\r\n0\r\n 5\r\n1\r\n0" + tail, kScriptMalformed},
        {"0\r\n0\r\n" + unit(0), kBadPort},
        {"6\r\n0\r\n" + unit(0), kBadPort},
        {"3bd\r\n0\r\n" + unit(0), kBadPort},
        {"fc\r\n0\r\n" + unit(0), kBadPort},
        {"10000\r\n0\r\n" + unit(0), kBadPort},
        {"fffffffb\r\n0\r\n" + unit(0), kBadPort},
        {"1\r\n-1\r\n" + unit(0), kBadReset},
        {"1\r\n2\r\n" + unit(0), kBadReset},
        {"1\r\n0\r\n4\r\n5\r\n1\r\n0" + tail, kBadSlot},
        {"1\r\n0\r\n-1\r\n5\r\n1\r\n0" + tail, kBadSlot},
        {"1\r\n0\r\n" + unit(1, "Y") + "\r\n" + unit(1), kBadSlot},
        {"1\r\n0\r\n0\r\n0\r\n1\r\n0" + tail, kBadMemoryType},
        {"1\r\n0\r\n0\r\n16\r\n1\r\n0" + tail, kBadMemoryType},
        {"1\r\n0\r\n0\r\n5\r\n0\r\n0" + tail, kBadFormat},
        {"1\r\n0\r\n0\r\n5\r\n4\r\n0" + tail, kBadFormat},
        {"1\r\n0\r\n0\r\n5\r\n1\r\n0x10" + tail, kBadOffset},
        {"1\r\n0\r\n0\r\n5\r\n1\r\n123456789" + tail, kBadOffset},
        {"1\r\n0\r\n0\r\n5\r\n1\r\n" + tail, kBadOffset},
        {"1\r\n0\r\n0\r\n5\r\n1\r\n0\r\n" + (runtime / "absent.bin").string() + "\r\nN",
         kImageMissing},
        {"1\r\n0\r\n0\r\n5\r\n1\r\n0\r\n\r\nN", kImageMissing},
        {"1\r\n0\r\n0\r\n5\r\n1\r\n0\r\n" + (runtime / "folder").string() + "\r\nN",
         kImageUnreadable},
        // The first fault in file order wins.
        {"6\r\n2\r\n" + unit(0), kBadPort},
        {"1\r\n0\r\n0\r\n0\r\n0\r\nzz\r\n\r\nN", kBadMemoryType},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.script);
        writeScript(row.script);
        EXPECT_EQ(SayHello(), row.code);
    }
}

TEST_F(StandinTest, ScriptThatCantBeHadIsUnreadable) {
    std::filesystem::remove(vanter::downloadScriptPath());
    EXPECT_EQ(SayHello(), kScriptUnreadable);

#ifndef _WIN32
    // A folder for the script that someone else could plant files in.
    std::filesystem::remove_all(runtime / "vanter3");
    std::filesystem::create_directory(runtime / "vanter3");
    std::filesystem::permissions(runtime / "vanter3", std::filesystem::perms::all);
    writeBytes(runtime / "vanter3" / "$$temp.in3", "1\r\n0\r\n" + unit(0));
    EXPECT_EQ(SayHello(), kScriptUnreadable);
#endif
}

#ifndef _WIN32
// The script and a unit's manifest are read only when they are regular files, and only up to
// a limit: a named pipe would wait for a writer, /dev/zero never ends.
TEST_F(StandinTest, ScriptAndManifestThatAreNoPlainFilesAreRefusedAtOnce) {
    const std::filesystem::path script = vanter::downloadScriptPath();
    const std::filesystem::path manifest = unitManifestPath(runtime / "state", 0);
    std::filesystem::create_directories(manifest.parent_path());
    const auto fifo = [](const std::filesystem::path& p) {
        ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0);
    };
    const auto zero = [](const std::filesystem::path& p) {
        std::filesystem::create_symlink("/dev/zero", p);
    };
    const auto huge = [](const std::filesystem::path& p) {
        writeBytes(p, "memory type: 2764 (code 1)\n" + std::string(2 << 20, '\n'));
    };
    struct Row {
        const char* what;
        bool ofScript;
        std::function<void(const std::filesystem::path&)> make;
        std::int32_t code;
    };
    const Row rows[] = {
        {"script a named pipe", true, fifo, kScriptUnreadable},
        {"script a link to /dev/zero", true, zero, kScriptUnreadable},
        {"script over 1 MiB", true, huge, kScriptMalformed},
        {"manifest a named pipe", false, fifo, kStateNotWritten},
        {"manifest a link to /dev/zero", false, zero, kStateNotWritten},
        {"manifest over its limit", false, huge, kStateNotWritten},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::filesystem::remove(manifest);
        std::filesystem::remove(script);
        if (!row.ofScript) {
            writeScript("1\r\n0\r\n" + unit(0));
        }
        row.make(row.ofScript ? script : manifest);
        EXPECT_EQ(row.ofScript ? SayHello() : CheckVT(1, 0, 4, 0), row.code);
    }
}
#endif

TEST_F(StandinTest, SimulatedChainDecidesTheDownload) {
    struct Row {
        const char* name;
        Env env;
        std::string script;
        std::int32_t code;
    };
    const std::string slots013 = unit(0, "Y") + "\r\n" + unit(1, "Y") + "\r\n" + unit(3);
    const std::vector<Row> rows = {
        {"units present", {{"VANTER_SIM_UNITS", "0,1,3"}}, "1\r\n0\r\n" + slots013, kOk},
        {"unit absent", {{"VANTER_SIM_UNITS", "0,1,3"}}, "1\r\n0\r\n" + unit(2), kUnitNotFound},
        {"no units", {{"VANTER_SIM_UNITS", ""}}, "5\r\n0\r\n" + unit(0), kUnitNotFound},
        {"absent before image",
         {{"VANTER_SIM_UNITS", "1"}},
         "1\r\n0\r\n0\r\n5\r\n1\r\n0\r\n\r\nN",
         kUnitNotFound},
        {"no LPT, port 1", {{"VANTER_SIM_NO_LPT", "1"}}, "1\r\n0\r\n" + unit(0), kNoPrinterDriver},
        {"no LPT, I/O address",
         {{"VANTER_SIM_NO_LPT", "1"}},
         "2bc\r\n0\r\n" + unit(0),
         kNoPrinterDriver},
        {"no LPT, USB", {{"VANTER_SIM_NO_LPT", "1"}}, "5\r\n0\r\n" + unit(0), kOk},
        {"LPT switched back", {{"VANTER_SIM_NO_LPT", "0"}}, "1\r\n0\r\n" + unit(0), kOk},
        {"USB fails", {{"VANTER_SIM_USB_FAIL", "1"}}, "5\r\n0\r\n" + unit(0), kUsbFailed},
        {"USB fails, port 4", {{"VANTER_SIM_USB_FAIL", "1"}}, "4\r\n0\r\n" + unit(0), kOk},
        {"link before units",
         {{"VANTER_SIM_USB_FAIL", "1"}, {"VANTER_SIM_UNITS", ""}},
         "5\r\n0\r\n" + unit(0),
         kUsbFailed},
        {"fault only for CheckVT", {{"VANTER_SIM_FAULT", "0:1f00"}}, "1\r\n0\r\n" + unit(0), kOk},
        {"bad units", {{"VANTER_SIM_UNITS", "4"}}, "1\r\n0\r\n" + unit(0), kBadSimulationSetting},
        {"bad switch",
         {{"VANTER_SIM_NO_LPT", "yes"}},
         "1\r\n0\r\n" + unit(0),
         kBadSimulationSetting},
        {"bad fault", {{"VANTER_SIM_FAULT", "2"}}, "1\r\n0\r\n" + unit(0), kBadSimulationSetting},
        {"script before setting", {{"VANTER_SIM_UNITS", "x"}}, "6\r\n0\r\n" + unit(0), kBadPort},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
#ifdef _WIN32
        if (std::string_view(row.name) == "no units") {
            continue; // Windows has no empty variables
        }
#endif
        setAll(row.env);
        writeScript(row.script);
        EXPECT_EQ(SayHello(), row.code);
        for (const char* name :
             {"VANTER_SIM_UNITS", "VANTER_SIM_NO_LPT", "VANTER_SIM_USB_FAIL", "VANTER_SIM_FAULT"}) {
            vanter::testing::setEnv(name, std::nullopt);
        }
    }
}

TEST_F(StandinTest, CheckResults) {
    struct Row {
        Env env;
        std::int32_t port, reset, memoryType, slot;
        std::int32_t code;
    };
    const std::vector<Row> rows = {
        {{}, 1, 0, 4, 0, kOk},
        {{}, 5, 1, 14, 3, kOk},
        {{}, 0x2bc, 0, 0, 1, kOk},
        {{}, 760, 0, 0, 2, kOk},
        {{}, 0, 0, 4, 0, kBadPort},
        {{}, 6, 0, 4, 0, kBadPort},
        {{}, -1, 0, 4, 0, kBadPort},
        {{}, 888 + 1, 0, 4, 0, kBadPort},
        {{}, 1, -1, 4, 0, kBadReset},
        {{}, 1, 2, 4, 0, kBadReset},
        {{}, 1, 0, -1, 0, kBadMemoryType},
        {{}, 1, 0, 15, 0, kBadMemoryType},
        {{}, 1, 0, 4, -1, kBadSlot},
        {{}, 1, 0, 4, 4, kBadSlot},
        {{{"VANTER_SIM_UNITS", "0,1,3"}}, 1, 0, 4, 2, kUnitNotFound},
        {{{"VANTER_SIM_UNITS", "0,1,3"}}, 1, 0, 4, 1, kOk},
        {{{"VANTER_SIM_NO_LPT", "1"}}, 3, 0, 4, 0, kNoPrinterDriver},
        {{{"VANTER_SIM_NO_LPT", "1"}}, 5, 0, 4, 0, kOk},
        {{{"VANTER_SIM_USB_FAIL", "1"}}, 5, 0, 4, 0, kUsbFailed},
        {{{"VANTER_SIM_FAULT", "2:1f00"}}, 1, 0, 4, 2, 256 + 0x1f00},
        {{{"VANTER_SIM_FAULT", "2:1f00"}}, 1, 0, 4, 1, kOk},
        {{{"VANTER_SIM_FAULT", "0:0, 3:0x7FFFFEFF"}}, 1, 0, 4, 0, 256},
        {{{"VANTER_SIM_FAULT", "0:0, 3:0x7FFFFEFF"}}, 1, 0, 4, 3, 0x7FFFFFFF},
        {{{"VANTER_SIM_FAULT", "3:7fffff00"}}, 1, 0, 4, 3, kBadSimulationSetting},
        {{{"VANTER_SIM_FAULT", "4:10"}}, 1, 0, 4, 0, kBadSimulationSetting},
        {{{"VANTER_SIM_FAULT", "1:zz"}}, 1, 0, 4, 0, kBadSimulationSetting},
        {{{"VANTER_SIM_UNITS", "2"}, {"VANTER_SIM_FAULT", "2:10"}}, 1, 0, 4, 0, kUnitNotFound},
        {{{"VANTER_SIM_UNITS", "0"}}, 1, 0, 4, 7, kBadSlot},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.port << ", " << row.reset << ", " << row.memoryType
                                          << ", " << row.slot);
        setAll(row.env);
        EXPECT_EQ(CheckVT(row.port, row.reset, row.memoryType, row.slot), row.code);
        for (const char* name :
             {"VANTER_SIM_UNITS", "VANTER_SIM_NO_LPT", "VANTER_SIM_USB_FAIL", "VANTER_SIM_FAULT"}) {
            vanter::testing::setEnv(name, std::nullopt);
        }
    }
}

TEST(StandinCodes, OwnCodesAreDistinctConfigurationErrors) {
    const std::int32_t own[] = {
        kScriptUnreadable, kScriptMalformed, kBadPort,   kBadReset,           kBadSlot,
        kBadMemoryType,    kBadFormat,       kBadOffset, kMemoryTypeMismatch, kBadSimulationSetting,
        kInternalFailure};
    std::set<std::int32_t> seen;
    for (std::int32_t code : own) {
        // The program shows them as "config error $.." after CheckVT.
        EXPECT_GT(code, 0);
        EXPECT_LT(code, kMemoryFaultBase);
        EXPECT_NE(code, kUsbFailed);
        EXPECT_NE(code, kUnitNotFound);
        EXPECT_TRUE(seen.insert(code).second) << code;
    }
    for (LoadFailure failure : kImageFailures) {
        EXPECT_FALSE(failureName(failure).empty());
        EXPECT_TRUE(seen.insert(resultCode(failure)).second) << resultCode(failure);
    }
    EXPECT_TRUE(seen.insert(kStateNotWritten).second);
    for (std::int32_t code = kFirstImageFailure; code <= kLastImageFailure; ++code) {
        EXPECT_TRUE(seen.count(code)) << code;
    }
}

TEST(StandinCodes, ImageCodesAreDistinctAndFitTheDriverRange) {
    std::set<std::int32_t> codes{kStateNotWritten};
    std::set<std::string_view> names;
    for (LoadFailure f : kImageFailures) {
        const std::int32_t code = resultCode(f);
        EXPECT_GE(code, 0x40);
        EXPECT_LE(code, 0x4F);
        codes.insert(code);
        names.insert(failureName(f));
    }
    EXPECT_EQ(codes.size(), std::size(kImageFailures) + 1);
    EXPECT_EQ(names.size(), std::size(kImageFailures));
}

TEST_F(StandinTest, CheckTakesEverythingFromItsArguments) {
    writeScript("garbage");
    EXPECT_EQ(CheckVT(1, 0, 4, 0), kOk);
}

TEST_F(StandinTest, TranscriptRecordsEveryCall) {
    const std::filesystem::path log = runtime / "transcript.txt";
    ScopedEnv named("VANTER_SIM_TRANSCRIPT", log.string());
    const std::string script = vanter::downloadScriptPath().string();
    writeScript("1\r\n0\r\n" + unit(0));
    SayHello();
    CheckVT(1, 0, 4, 0);
    vanter::testing::setEnv("VANTER_SIM_UNITS", "0,1");
    CheckVT(5, 1, 14, 2);
    vanter::testing::setEnv("VANTER_SIM_FAULT", "1:1f00");
    CheckVT(-1, 0, 4, 1);
    CheckVT(1, 0, 4, 1);
    writeScript("1\r\n0\r\n" + unit(2));
    SayHello();
    EXPECT_EQ(readBytes(log), "SayHello() script=" + script +
                                  " -> 0\n"
                                  "  note: unit memories in " +
                                  (runtime / "state").string() +
                                  "\n"
                                  "CheckVT(1, 0, 4, 0) -> 0\n"
                                  "CheckVT(5, 1, 14, 2) -> 153\n"
                                  "  reason: unit #2 is not present (VANTER_SIM_UNITS)\n"
                                  "CheckVT(-1, 0, 4, 1) -> 227\n"
                                  "  reason: port -1 is neither 1 to 5 nor a printer-port I/O "
                                  "address\n"
                                  "CheckVT(1, 0, 4, 1) -> 8192\n"
                                  "  reason: unit #1 fails at address 1f00 (VANTER_SIM_FAULT)\n"
                                  "SayHello() script=" +
                                  script +
                                  " -> 153\n"
                                  "  reason: unit #2 is not present (VANTER_SIM_UNITS)\n");
    vanter::testing::setEnv("VANTER_SIM_UNITS", std::nullopt);
    vanter::testing::setEnv("VANTER_SIM_FAULT", std::nullopt);
}

TEST_F(StandinTest, TranscriptThatCantBeWrittenChangesNoResult) {
    ScopedEnv named("VANTER_SIM_TRANSCRIPT", (runtime / "missing" / "log").string());
    writeScript("1\r\n0\r\n" + unit(0));
    EXPECT_EQ(SayHello(), kOk);
    EXPECT_EQ(CheckVT(1, 0, 4, 0), kOk);
}

} // namespace
