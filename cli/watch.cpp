#include "watch.h"

#include <map>

namespace vanter::cli {

namespace {

using Stamps = std::map<std::filesystem::path, FileStamp>;

class Watch {
public:
    Watch(const std::filesystem::path& configFile, WatchSystem& system,
          const WatchedDownload& download)
        : configFile_(configFile), system_(system), download_(download), watched_{configFile} {}

    // Every file is stamped before the download uses it, so a change made while the download
    // runs is seen by the next poll.
    void downloadNow() {
        Stamps stamps = this->stamps();
        if (const auto images = download_.read()) {
            watched_ = {configFile_};
            watched_.insert(watched_.end(), images->begin(), images->end());
        }
        seen_.clear();
        for (const std::filesystem::path& file : watched_) {
            const auto known = stamps.find(file);
            seen_[file] = known != stamps.end() ? known->second : system_.stamp(file);
        }
        download_.download();
    }

    // True when a watched file differs from what was last seen.
    bool changed() {
        Stamps now = stamps();
        if (now == seen_) {
            return false;
        }
        seen_ = std::move(now);
        return true;
    }

private:
    Stamps stamps() {
        Stamps result;
        for (const std::filesystem::path& file : watched_) {
            result[file] = system_.stamp(file);
        }
        return result;
    }

    std::filesystem::path configFile_;
    WatchSystem& system_;
    const WatchedDownload& download_;
    std::vector<std::filesystem::path> watched_;
    Stamps seen_;
};

} // namespace

void watchAndDownload(const std::filesystem::path& configFile, WatchSystem& system,
                      const WatchedDownload& download, const WatchTiming& timing) {
    system.catchStopSignals();
    Watch watch(configFile, system, download);
    watch.downloadNow();
    bool pending = false; // a change waits for the files to settle
    WatchSystem::Clock::time_point lastChange{};
    while (!system.stopRequested()) {
        system.sleepFor(timing.poll);
        if (system.stopRequested()) {
            break;
        }
        if (watch.changed()) {
            pending = true;
            lastChange = system.now();
            continue;
        }
        if (pending && system.now() - lastChange >= timing.settle) {
            pending = false;
            watch.downloadNow();
        }
    }
}

} // namespace vanter::cli
