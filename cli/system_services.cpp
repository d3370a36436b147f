#include "system_services.h"

#include <csignal>
#include <ctime>
#include <thread>

#include "fs/regular_file.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace vanter::cli {

namespace {

volatile std::sig_atomic_t stopSignalled = 0;

#ifdef _WIN32
BOOL WINAPI onConsoleEvent(DWORD) {
    stopSignalled = 1;
    return TRUE; // handled: the watch loop ends by itself
}
#else
extern "C" void onStopSignal(int) {
    stopSignalled = 1;
}
#endif

} // namespace

WatchSystem::Clock::time_point RealWatchSystem::now() {
    return Clock::now();
}

void RealWatchSystem::sleepFor(Clock::duration duration) {
    std::this_thread::sleep_for(duration);
}

bool RealWatchSystem::stopRequested() {
    return stopSignalled != 0;
}

FileStamp RealWatchSystem::stamp(const std::filesystem::path& file) {
    FileStamp stamp;
#ifdef _WIN32
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    if (error) {
        return stamp;
    }
    const auto modified = std::filesystem::last_write_time(file, error);
    if (error) {
        return stamp;
    }
    stamp.exists = true;
    stamp.size = size;
    stamp.modified =
        std::chrono::duration_cast<std::chrono::nanoseconds>(modified.time_since_epoch()).count();
#else
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) {
        return stamp;
    }
    constexpr std::int64_t kNano = 1'000'000'000;
    stamp.exists = true;
    stamp.size = static_cast<std::uint64_t>(info.st_size);
    stamp.modified = static_cast<std::int64_t>(info.st_mtim.tv_sec) * kNano + info.st_mtim.tv_nsec;
    stamp.changed = static_cast<std::int64_t>(info.st_ctim.tv_sec) * kNano + info.st_ctim.tv_nsec;
    stamp.identity = static_cast<std::uint64_t>(info.st_ino);
#endif
    return stamp;
}

std::string RealWatchSystem::localTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

// Ctrl+C (SIGINT), SIGTERM, and on Windows the console's other close events.
void RealWatchSystem::catchStopSignals() {
#ifdef _WIN32
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
#else
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
#endif
}

std::string openProblem(const std::filesystem::path& file) {
    return RegularFile(file).problem();
}

} // namespace vanter::cli
