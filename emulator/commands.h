#pragma once

#include <filesystem>

#include "command_outcome.h"
#include "config/configuration.h"
#include "driver.h"
#include "reporter.h"

namespace vanter {

// Download: refusal test, write the script, "Download....", SayHello, status text; returns
// the outcome with its verdict. A typed port that does not convert throws ConversionError
// before anything is written or shown. A script that can't be written is reported (status
// text and outcome) and the driver is not called.
[[nodiscard]] CommandOutcome runDownload(const Configuration& config, Driver& driver,
                                         Reporter& reporter,
                                         const std::filesystem::path& scriptPath);
[[nodiscard]] CommandOutcome runDownload(const Configuration& config, Driver& driver,
                                         Reporter& reporter);

// Check: refusal test, then CheckVT for each enabled slot in order, stopping at the first
// failure. A typed port that does not convert throws before any status change or call.
[[nodiscard]] CommandOutcome runCheck(const Configuration& config, Driver& driver,
                                      Reporter& reporter);

} // namespace vanter
