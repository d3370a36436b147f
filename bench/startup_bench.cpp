// Start-up benchmark: time from process start to the first paint of the main window, and
// peak resident memory (VmHWM), for the program's window against a minimal Qt 6 main window
// built the same way. Runs both alternately and prints medians side by side with the ratio.
//   startup_bench [runs]     (default 15; QT_QPA_PLATFORM as set, else offscreen without X)

#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Sample {
    double startupMs;
    double cpuMs; // user + system time of the whole run: steadier than wall time on a busy machine
    double peakMiB;
};

long long monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

Sample runOnce(const std::string& program, const char* argument = nullptr) {
    int out[2];
    if (pipe(out) != 0) {
        throw std::runtime_error("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    std::vector<char*> argv{const_cast<char*>(program.c_str()), const_cast<char*>(argument),
                            nullptr};

    const long long start = monotonicNs();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        throw std::runtime_error("can't start " + program);
    }
    std::string report;
    char buffer[256];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) {
        report.append(buffer, static_cast<std::size_t>(n));
    }
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double cpuMs =
        (static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3);

    long long paintedNs = 0;
    long peakKiB = 0;
    if (std::sscanf(report.c_str(), "%lld %ld", &paintedNs, &peakKiB) != 2 || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        throw std::runtime_error(program + " did not report its first paint");
    }
    return {static_cast<double>(paintedNs - start) / 1e6, cpuMs,
            static_cast<double>(peakKiB) / 1024.0};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

struct Figures {
    std::vector<double> startup;
    std::vector<double> cpu;
    std::vector<double> peak;
};

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const std::filesystem::path here = std::filesystem::canonical("/proc/self/exe").parent_path();
    const std::string minimal = (here / "startup_minimal").string();
    const std::string window = (here / "startup_window").string();

    if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    // A folder without a default configuration file, and a private runtime folder.
    char folder[] = "/tmp/vanter-startup-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    std::filesystem::current_path(folder);
    setenv("XDG_RUNTIME_DIR", folder, 1);

    Figures bareFigures;
    Figures minimalFigures;
    Figures windowFigures;
    try {
        // Warm the file cache first; these runs are not counted.
        for (int i = 0; i < 2; ++i) {
            runOnce(minimal, "bare");
            runOnce(minimal);
            runOnce(window);
        }
        for (int i = 0; i < runs; ++i) {
            // Alternate, so that both see the same machine load.
            for (auto* which : {&bareFigures, &minimalFigures, &windowFigures}) {
                const Sample sample = which == &windowFigures ? runOnce(window)
                                      : which == &bareFigures ? runOnce(minimal, "bare")
                                                              : runOnce(minimal);
                which->startup.push_back(sample.startupMs);
                which->cpu.push_back(sample.cpuMs);
                which->peak.push_back(sample.peakMiB);
            }
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "startup_bench: %s\n", error.what());
        std::filesystem::remove_all(folder);
        return 1;
    }
    std::filesystem::remove_all(folder);

    const auto pick = [](const std::vector<double>& values, bool fastest) {
        return fastest ? *std::min_element(values.begin(), values.end()) : median(values);
    };
    const auto row = [&](const char* what, std::vector<double> Figures::*field, bool fastest,
                         const char* target) {
        const double bare = pick(bareFigures.*field, fastest);
        const double minimal = pick(minimalFigures.*field, fastest);
        const double window = pick(windowFigures.*field, fastest);
        std::printf("%-26s %8.1f %8.1f %8.1f %8.2f %8.2f   %s\n", what, bare, minimal, window,
                    window / minimal, window / bare, target);
    };
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    std::printf("Start-up to the first paint of the main window, and peak memory (VmHWM); %d runs "
                "each, platform %s.\n"
                "minimal: a main window of the same size showing one label; bare: the same "
                "without any text.\n",
                runs, platform != nullptr ? platform : "default");
    std::printf("%-26s %8s %8s %8s %8s %8s   %s\n", "", "bare", "minimal", "vanter3", "/minimal",
                "/bare", "target (/minimal)");
    row("start-up, median (ms)", &Figures::startup, false, "<= 1.25");
    row("start-up, fastest (ms)", &Figures::startup, true, "");
    row("CPU time, median (ms)", &Figures::cpu, false, "");
    row("peak memory, median (MiB)", &Figures::peak, false, "<= 1.15");
    return 0;
}
