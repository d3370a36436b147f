// Speed of the stand-in driver's image loading: four units of the 32M part (4 MiB each), loaded
// from Intel HEX with 16- and 32-byte records and S3 records with 16- and 32-byte records,
// through SayHello, against srec_cat converting the same four files to binary. Also the peak
// memory of a process doing one such download, measured in a child process.
//
//   sim_bench            run everything and print the figures
//   sim_bench --child    (internal) one SayHello in this process, then print its peak memory

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "config/in3_file.h"
#include "emulator/portgate.h"
#include "emulator/script_path.h"
#include "emulator/standin/state_folder.h"
#include "emulator/standin/unit_memory.h"
#include "testing/environment.h"
#include "testing/image_writer.h"

namespace fs = std::filesystem;
using namespace vanter::images;
using namespace vanter::standin;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::uint32_t kPartSize = 4096 * 1024; // 32M, memory type code 15
constexpr int kRuns = 5;

// CPU seconds (user and system) of this process, all its threads, or of its finished children.
double cpuSeconds(int who) {
    rusage usage{};
    ::getrusage(who, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Peak resident memory of this process in KiB (VmHWM); -1 where /proc is not available.
long peakKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

struct ImageFile {
    std::string name;
    int format; // file code
    std::string srecCatFormat;
};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int child() {
    const std::int32_t result = SayHello();
    std::printf("%d %ld\n", result, peakKiB());
    return result == 0 ? 0 : 1;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--child") {
        return child();
    }
    const fs::path work =
        fs::temp_directory_path() /
        ("vanter-sim-bench-" + std::to_string(Clock::now().time_since_epoch().count()));
    fs::create_directories(work / "run");
    fs::permissions(work / "run", fs::perms::owner_all, fs::perm_options::replace);
    vanter::testing::setEnv("XDG_RUNTIME_DIR", (work / "run").string());
    vanter::testing::setEnv("VANTER_SIM_STATE_DIR", (work / "state").string());
    vanter::testing::setEnv("VANTER_SIM_TRANSCRIPT", (work / "transcript.log").string());
    vanter::testing::setEnv("VANTER_SIM_UNITS", "0,1,2,3");

    // Four different 4 MiB images, each filling the whole part.
    const std::vector<ImageFile> files = {{"hex16.hex", 2, "-intel"},
                                          {"hex32.hex", 2, "-intel"},
                                          {"s3_16.s37", 3, "-motorola"},
                                          {"s3_32.s37", 3, "-motorola"}};
    std::uint64_t textBytes = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::vector<writer::Block> blocks{
            {0, writer::randomBytes(kPartSize, static_cast<unsigned>(i + 1))}};
        const std::size_t recordSize = i % 2 == 0 ? 16 : 32;
        const auto records = writer::records(blocks, recordSize);
        const std::string text = files[i].format == 2
                                     ? writer::intelHex(records, writer::Addressing::linear)
                                     : writer::sRecords(records, 4);
        std::ofstream(work / files[i].name, std::ios::binary) << text;
        textBytes += text.size();
    }

    vanter::Configuration config;
    config.port = "USB";
    config.resetLevel = 0;
    for (std::size_t slot = 0; slot < 4; ++slot) {
        config.slots[slot] = {true, 14, files[slot].format - 1, "0",
                              (work / files[slot].name).string()};
    }
    vanter::writeConfigurationFile(vanter::downloadScriptPath(), config);

    // One download to warm the file cache and prove that the chain loads.
    if (const std::int32_t result = SayHello(); result != 0) {
        std::printf("SayHello failed with %d; see %s\n", result,
                    (work / "transcript.log").string().c_str());
        return 1;
    }
    std::vector<double> sayHello;
    const double ownCpuBefore = cpuSeconds(RUSAGE_SELF);
    for (int run = 0; run < kRuns; ++run) {
        const auto start = Clock::now();
        const std::int32_t result = SayHello();
        sayHello.push_back(secondsSince(start));
        if (result != 0) {
            std::printf("SayHello failed with %d\n", result);
            return 1;
        }
    }

    const double ownCpu = (cpuSeconds(RUSAGE_SELF) - ownCpuBefore) / kRuns;

    // The loader alone: parse the four files into memory, nothing written.
    std::vector<UnitRecord> units;
    for (int slot = 0; slot < 4; ++slot) {
        units.push_back({slot, 15, files[static_cast<std::size_t>(slot)].format, 0,
                         (work / files[static_cast<std::size_t>(slot)].name).string()});
    }
    std::vector<double> loadOnly;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = Clock::now();
        std::vector<UnitMemory> memories;
        for (const UnitRecord& unit : units) {
            memories.push_back(loadUnitMemory(unit));
        }
        loadOnly.push_back(secondsSince(start));
    }

    // srec_cat converting the same four files to binary.
    std::vector<double> srecCat;
    bool sameBytes = true;
    constexpr int kSrecCatRuns = 3;
    const double childCpuBefore = cpuSeconds(RUSAGE_CHILDREN);
    for (int run = 0; run < kSrecCatRuns; ++run) {
        const auto start = Clock::now();
        for (std::size_t i = 0; i < files.size(); ++i) {
            const std::string command = "srec_cat \"" + (work / files[i].name).string() + "\" " +
                                        files[i].srecCatFormat + " -o \"" +
                                        (work / (files[i].name + ".bin")).string() + "\" -binary";
            if (std::system(command.c_str()) != 0) {
                std::printf("srec_cat failed (is the package srecord installed?)\n");
                return 1;
            }
        }
        srecCat.push_back(secondsSince(start));
    }
    const double srecCatCpu = (cpuSeconds(RUSAGE_CHILDREN) - childCpuBefore) / kSrecCatRuns;
    for (std::size_t i = 0; i < files.size(); ++i) {
        sameBytes = sameBytes && readFile(work / (files[i].name + ".bin")) ==
                                     readFile(unitMemoryPath(work / "state", static_cast<int>(i)));
    }

    // Peak memory of a process that does one download.
    const fs::path childOut = work / "child.txt";
    const std::string self = fs::absolute(argv[0]).string();
    long peak = -1;
    if (std::system(("\"" + self + "\" --child > \"" + childOut.string() + "\"").c_str()) == 0) {
        std::ifstream in(childOut);
        int result = -1;
        in >> result >> peak;
    }

    const double ours = median(sayHello);
    const double theirs = median(srecCat);
    const double mib = 1024.0 * 1024.0;
    std::printf("image text: 4 files, %.1f MiB (Intel HEX 16/32-byte records, S3 16/32-byte "
                "records), 4 x 4 MiB unit memories\n",
                static_cast<double>(textBytes) / mib);
    std::printf("SayHello, 4 units, median of %d: %8.1f ms  (%.0f MiB/s of image text; best "
                "%.1f ms)\n",
                kRuns, ours * 1e3, static_cast<double>(textBytes) / mib / ours,
                *std::min_element(sayHello.begin(), sayHello.end()) * 1e3);
    std::printf("  of which loading alone (no files written): %8.1f ms\n", median(loadOnly) * 1e3);
    std::printf("srec_cat, same 4 files to binary, median of 3:  %8.1f ms\n", theirs * 1e3);
    std::printf("ratio srec_cat / SayHello: %.1fx (target >= 10x); best against best %.1fx\n",
                theirs / ours,
                *std::min_element(srecCat.begin(), srecCat.end()) /
                    *std::min_element(sayHello.begin(), sayHello.end()));
    std::printf("CPU time per download of the 4 units: SayHello %.1f ms, srec_cat %.1f ms, "
                "ratio %.1fx\n",
                ownCpu * 1e3, srecCatCpu * 1e3, srecCatCpu / ownCpu);
    std::printf("unit memories equal srec_cat output: %s\n", sameBytes ? "yes" : "NO");
    if (peak >= 0) {
        const long budget = 4 * 4096 + 8 * 1024;
        std::printf("peak memory of one download (VmHWM): %.1f MiB, budget 4 x 4 MiB + 8 MiB = "
                    "%.0f MiB: %s\n",
                    static_cast<double>(peak) / 1024.0, static_cast<double>(budget) / 1024.0,
                    peak <= budget ? "within" : "OVER");
    } else {
        std::printf("peak memory: not measured on this platform\n");
    }
    std::error_code ignored;
    fs::remove_all(work, ignored);
    return 0;
}
