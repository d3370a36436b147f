#pragma once

// What the commands share: reading the configuration as the window does, the status texts
// collected from the core, one download, and the lines it leaves to print.

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "arguments.h"
#include "cli.h"
#include "config/configuration.h"
#include "emulator/command_outcome.h"
#include "emulator/driver.h"
#include "emulator/reporter.h"
#include "exit_status.h"
#include "terminal_text.h"

namespace vanter::cli {

// The window's status bar: each text to `live` as it comes (if given), the last one kept.
class CollectingReporter final : public Reporter {
public:
    explicit CollectingReporter(std::ostream* live) : live_(live) {}

    void setStatusText(std::string_view text) override {
        status = text;
        if (live_ != nullptr) {
            *live_ << terminalLine(text) << std::endl;
        }
    }

    std::optional<std::string> status; // the last one

private:
    std::ostream* live_;
};

// The exit status documented in the command-line guide for what Download or Check came to.
int exitStatus(const CommandOutcome& result);

// The configuration as the window holds it after reading the file at start-up. Throws
// FileError (the file can't be opened or read) and the reader's errors.
Configuration readConfiguration(const std::string& file);

struct Outcome {
    int status = kExitOk;
    std::vector<std::string> out; // lines still to print
    std::vector<std::string> err;
};

// One download; `live` receives the status texts as they come (nullptr: collected only).
Outcome download(const Configuration& config, Driver& driver, std::ostream* live);

// Prints the outcome's lines to the context's streams; returns its exit status.
int print(const Outcome& outcome, CliContext& context);

// The commands, one file each; each returns the exit status.
int runDownloadCommand(const Arguments& arguments, CliContext& context);
int runCheckCommand(const Arguments& arguments, CliContext& context);
int runValidateCommand(const Arguments& arguments, CliContext& context);
int runShowCommand(const Arguments& arguments, CliContext& context);
int runWatchCommand(const Arguments& arguments, CliContext& context);

} // namespace vanter::cli
