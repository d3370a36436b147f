#include "watch.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "cli/fake_watch_system.h"

namespace vanter::cli {
namespace {

using namespace std::chrono_literals;
using Clock = WatchSystem::Clock;
using Path = std::filesystem::path;
using FakeSystem = vanter::testing::FakeWatchSystem;

const Path kConfig = "fw.in3";
const WatchTiming kTiming{100ms, 400ms};

class WatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        system.touch(kConfig);
        system.touch("a.hex");
        system.touch("b.hex");
    }

    // Runs the watch; every download names `images` (nullopt: configuration unreadable).
    void run() {
        const WatchedDownload download{[this] {
                                           ++reads;
                                           return images;
                                       },
                                       [this] {
                                           downloads.push_back(system.elapsed());
                                           if (onDownload) {
                                               onDownload();
                                           }
                                       }};
        watchAndDownload(kConfig, system, download, kTiming);
        EXPECT_EQ(reads, downloads.size());
    }

    FakeSystem system;
    std::optional<std::vector<Path>> images = std::vector<Path>{"a.hex"};
    std::function<void()> onDownload;
    std::vector<Clock::duration> downloads; // when each download ran
    std::size_t reads = 0;
};

TEST_F(WatchTest, DownloadsOnceAtStartAndEndsWhenStopped) {
    system.stopAt(2s);
    run();
    EXPECT_EQ(downloads, (std::vector<Clock::duration>{0ms}));
    EXPECT_EQ(system.signalsCaught, 1);
    EXPECT_GE(system.elapsed(), 2s);
    EXPECT_LT(system.elapsed(), 2s + kTiming.poll);
}

TEST_F(WatchTest, EachSettledChangeDownloadsOnce) {
    system.touchAt(1000ms, "a.hex");
    system.touchAt(3000ms, kConfig);
    system.stopAt(5s);
    run();
    // Seen at the first poll after the change, downloaded once it has been quiet long enough.
    EXPECT_EQ(downloads, (std::vector<Clock::duration>{0ms, 1400ms, 3400ms}));
}

TEST_F(WatchTest, ARewriteInSeveralStepsDownloadsOnce) {
    for (const auto when : {1000ms, 1100ms, 1250ms, 1500ms, 1800ms}) {
        system.touchAt(when, "a.hex");
    }
    system.touchAt(1600ms, kConfig);
    system.stopAt(4s);
    run();
    EXPECT_EQ(downloads, (std::vector<Clock::duration>{0ms, 2200ms}));
}

TEST_F(WatchTest, FilesThatAppearOrVanishAreChanges) {
    system.touchAt(1000ms, "new.hex");
    system.stopAt(3s);
    images = std::vector<Path>{"a.hex", "new.hex"};
    run();
    EXPECT_EQ(downloads, (std::vector<Clock::duration>{0ms, 1400ms}));
}

TEST_F(WatchTest, TheImagesOfTheLatestConfigurationAreWatched) {
    // The configuration changes from a.hex to b.hex; afterwards only b.hex counts.
    system.touchAt(1000ms, kConfig);
    system.touchAt(3000ms, "a.hex");
    system.touchAt(5000ms, "b.hex");
    system.stopAt(7s);
    onDownload = [this] {
        if (downloads.size() == 1) {
            images = std::vector<Path>{"b.hex"};
        }
    };
    run();
    EXPECT_EQ(downloads, (std::vector<Clock::duration>{0ms, 1400ms, 5400ms}));
}

TEST_F(WatchTest, AnUnreadableConfigurationKeepsThePreviousImagesWatched) {
    system.touchAt(1000ms, kConfig);
    system.touchAt(3000ms, "a.hex");
    system.stopAt(5s);
    onDownload = [this] {
        if (downloads.size() == 1) {
            images = std::nullopt;
        }
    };
    run();
    EXPECT_EQ(downloads, (std::vector<Clock::duration>{0ms, 1400ms, 3400ms}));
}

TEST_F(WatchTest, AChangeWhileTheDownloadRunsIsNotLost) {
    system.stopAt(3s);
    // The first download already finds a.hex in the configuration.
    onDownload = [this] {
        if (downloads.size() <= 2) {
            system.touch("a.hex");
        }
    };
    run();
    EXPECT_EQ(downloads, (std::vector<Clock::duration>{0ms, 500ms, 1000ms}));
}

TEST_F(WatchTest, AStopWhileWaitingForQuietEndsWithoutDownloading) {
    system.touchAt(1000ms, "a.hex");
    system.stopAt(1200ms);
    run();
    EXPECT_EQ(downloads, (std::vector<Clock::duration>{0ms}));
}

} // namespace
} // namespace vanter::cli
