#pragma once

// The exit status of vanter3-cli, one value per kind of outcome, so that a build script can
// tell a unit that failed from a configuration that never reached the driver.

namespace vanter::cli {

enum ExitStatus : int {
    kExitOk = 0,
    kExitFailed = 1, // the driver reported a failure (Download or Check)
    kExitUsage = 2,  // the command line is wrong
    kExitConfiguration =
        3,                 // the configuration file can't be read, is not valid, or enables no unit
    kExitInvalidImage = 4, // validate or map found a problem; split's image can't be split
    kExitScript = 5,       // the download script can't be written; the driver was not called
    kExitOutput = 6,       // split would replace a file (no --force) or can't write one
};

} // namespace vanter::cli
