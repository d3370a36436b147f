#pragma once

// The real clock, file stamps, local time and stop signals of vanter3-cli. Everything that
// differs between Windows and the rest lives in system_services.cpp.

#include <string>

#include "watch.h"

namespace vanter::cli {

class RealWatchSystem final : public WatchSystem {
public:
    Clock::time_point now() override;
    void sleepFor(Clock::duration duration) override;
    FileStamp stamp(const std::filesystem::path& file) override;
    void catchStopSignals() override;
    bool stopRequested() override;
    std::string localTime() override;
};

// Why a file can't be read ("No such file or directory", "it is not a regular file"); empty
// when it can.
std::string openProblem(const std::filesystem::path& file);

} // namespace vanter::cli
