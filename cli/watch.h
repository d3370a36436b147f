#pragma once

// download --watch: download, then download again whenever the configuration file or an
// enabled slot's image file changes. Changes are found by polling the files' stamps; a
// download waits until the files have been quiet for a while, so that a build rewriting a file
// in several steps causes one download.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vanter::cli {

// What a poll sees of a file. Any difference counts as a change.
struct FileStamp {
    bool exists = false;
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // nanoseconds, as the system keeps them
    std::int64_t changed = 0;   // status change time where the system has one, else 0
    std::uint64_t identity = 0; // the file's identity (inode) where the system has one, else 0

    bool operator==(const FileStamp&) const = default;
};

// The clock, the files and the stop request, so that tests can drive the loop.
class WatchSystem {
public:
    using Clock = std::chrono::steady_clock;

    virtual ~WatchSystem() = default;
    virtual Clock::time_point now() = 0;
    virtual void sleepFor(Clock::duration duration) = 0;
    virtual FileStamp stamp(const std::filesystem::path& file) = 0;
    // From now on Ctrl+C and SIGTERM only request a stop (the watch ends by itself).
    virtual void catchStopSignals() = 0;
    // Ctrl+C (SIGINT) or SIGTERM has arrived.
    virtual bool stopRequested() = 0;
    // The local date and time for the line of a download: "2024-05-01 12:34:56".
    virtual std::string localTime() = 0;
};

struct WatchTiming {
    WatchSystem::Clock::duration poll = std::chrono::milliseconds(150);
    // How long the files must stay unchanged before the download.
    WatchSystem::Clock::duration settle = std::chrono::milliseconds(400);
};

// One download in two steps, so that the image files are stamped between reading the
// configuration and downloading: a change made during the download is then seen afterwards.
struct WatchedDownload {
    // Reads the configuration: the image files it names, or nullopt when it can't be read
    // (the image files watched so far stay watched).
    std::function<std::optional<std::vector<std::filesystem::path>>()> read;
    // Downloads what read() found, or reports why it found nothing.
    std::function<void()> download;
};

// Downloads once, then after every settled change, until a stop is requested.
void watchAndDownload(const std::filesystem::path& configFile, WatchSystem& system,
                      const WatchedDownload& download, const WatchTiming& timing = {});

} // namespace vanter::cli
