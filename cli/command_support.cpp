#include "command_support.h"

#include <filesystem>
#include <ostream>

#include "config/errors.h"
#include "config/in3_file.h"
#include "emulator/commands.h"
#include "exit_status.h"
#include "fs/native_name.h"
#include "fs/regular_file.h"
#include "terminal_text.h"

namespace vanter::cli {

// A file that can't be opened or read is named as such; the window would only say that "0x"
// is not a valid integer value. One open serves both, so the reason given is that of the file
// read.
Configuration readConfiguration(const std::string& file) {
    const std::filesystem::path path = pathFromNativeName(file);
    RegularFile opened(path);
    const auto unreadable = [&](const std::string& problem) {
        return FileError("Cannot read '" + file + "': " + problem);
    };
    if (!opened.isOpen()) {
        throw unreadable(opened.problem());
    }
    Configuration config;
    try {
        readConfigurationFile(opened, path, config);
    } catch (const Error&) {
        if (opened.readFailed()) {
            throw unreadable(opened.reason());
        }
        throw;
    }
    if (opened.readFailed()) {
        throw unreadable(opened.reason());
    }
    return config;
}

int exitStatus(const CommandOutcome& result) {
    switch (result.kind) {
    case CommandOutcome::Kind::NoUnitEnabled:
        return kExitConfiguration;
    case CommandOutcome::Kind::ScriptNotWritten:
        return kExitScript;
    case CommandOutcome::Kind::DriverCalled:
        break;
    }
    return result.succeeded() ? kExitOk : kExitFailed;
}

Outcome download(const Configuration& config, Driver& driver, std::ostream* live) {
    CollectingReporter reporter(live);
    Outcome outcome;
    CommandOutcome result;
    try {
        result = runDownload(config, driver, reporter);
    } catch (const Error& error) {
        outcome.status = kExitConfiguration;
        outcome.err.emplace_back(error.message());
        return outcome;
    }
    outcome.status = exitStatus(result);
    if (outcome.status == kExitOk) {
        if (result.verdict != reporter.status) {
            outcome.out.push_back(result.verdict);
        }
        if (live == nullptr && reporter.status) {
            outcome.out.insert(outcome.out.begin(), *reporter.status);
        }
    } else {
        if (live == nullptr && reporter.status) {
            outcome.err.push_back(*reporter.status);
        }
        outcome.err.push_back(result.verdict);
    }
    return outcome;
}

int print(const Outcome& outcome, CliContext& context) {
    for (const std::string& line : outcome.out) {
        context.out << terminalLine(line) << '\n';
    }
    context.out.flush();
    for (const std::string& line : outcome.err) {
        context.err << terminalLine(line) << '\n';
    }
    context.err.flush();
    return outcome.status;
}

} // namespace vanter::cli
