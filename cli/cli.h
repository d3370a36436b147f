#pragma once

// vanter3-cli as a whole, apart from main(): the commands on the shared configuration core
// and driver binding, with the streams, driver and system passed in.

#include <iosfwd>
#include <span>
#include <string_view>

#include "emulator/driver.h"
#include "watch.h"

namespace vanter::cli {

struct CliContext {
    std::ostream& out;
    std::ostream& err;
    Driver& driver;
    WatchSystem& system;
    WatchTiming timing{};
};

// Runs the command line `args` (without the program name); returns the exit status.
int runCli(std::span<const std::string_view> args, CliContext& context);

} // namespace vanter::cli
