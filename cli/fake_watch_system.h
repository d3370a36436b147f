#pragma once

// The clock, files and stop request of vanter3-cli's watch, driven by the test: time passes
// only in sleepFor, and files change when the test says.

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>

#include "cli/watch.h"

namespace vanter::testing {

class FakeWatchSystem final : public vanter::cli::WatchSystem {
public:
    Clock::time_point now() override { return now_; }
    void sleepFor(Clock::duration duration) override {
        now_ += duration;
        while (!events_.empty() && events_.begin()->first <= now_) {
            auto action = std::move(events_.begin()->second);
            events_.erase(events_.begin());
            action();
        }
        if (onSleep) {
            onSleep(elapsed());
        }
    }
    vanter::cli::FileStamp stamp(const std::filesystem::path& file) override {
        ++stampCalls;
        const auto found = files.find(file);
        return found == files.end() ? vanter::cli::FileStamp{} : found->second;
    }
    void catchStopSignals() override { ++signalsCaught; }
    bool stopRequested() override { return stop || now_ >= stopAt_; }
    std::string localTime() override { return "2024-05-01 12:00:00"; }

    // Writes the file: a new size and modification time.
    void touch(const std::filesystem::path& file) {
        vanter::cli::FileStamp& stamp = files[file];
        stamp.exists = true;
        stamp.size += 1;
        stamp.modified += 1;
    }
    void touchAt(Clock::duration when, const std::filesystem::path& file) {
        events_.emplace(start + when, [this, file] { touch(file); });
    }
    void stopAt(Clock::duration when) { stopAt_ = start + when; }
    Clock::duration elapsed() const { return now_ - start; }

    const Clock::time_point start{};
    std::map<std::filesystem::path, vanter::cli::FileStamp> files;
    // Runs after each sleep with the time passed since the start; may change files or stop.
    std::function<void(Clock::duration)> onSleep;
    bool stop = false;
    int signalsCaught = 0;
    int stampCalls = 0;

private:
    Clock::time_point now_{};
    Clock::time_point stopAt_ = Clock::time_point::max();
    std::multimap<Clock::time_point, std::function<void()>> events_;
};

} // namespace vanter::testing
