#include "cli.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "arguments.h"
#include "config/configuration.h"
#include "config/errors.h"
#include "config/in3_file.h"
#include "describe.h"
#include "emulator/commands.h"
#include "exit_status.h"
#include "fs/native_name.h"
#include "fs/regular_file.h"
#include "map_command.h"
#include "split_command.h"
#include "system_services.h"
#include "terminal_text.h"
#include "validate.h"

namespace vanter::cli {

namespace {

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

// The exit status documented in docs/cli.md for what Download or Check came to.
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

// The configuration as the window holds it after reading the file at start-up: the reader
// fills controls that were all unchecked and empty. A file that can't be opened or read is
// named as such; the window would only say that "0x" is not a valid integer value. One open
// serves both, so the reason given is that of the file read.
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

struct Outcome {
    int status = kExitOk;
    std::vector<std::string> out; // lines still to print
    std::vector<std::string> err;
};

// One download; `live` receives the status texts as they come (nullptr: collected only).
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

int runDownloadCommand(const Arguments& arguments, CliContext& context) {
    const Configuration config = readConfiguration(arguments.file);
    return print(download(config, context.driver, &context.out), context);
}

int runCheckCommand(const Arguments& arguments, CliContext& context) {
    const Configuration config = readConfiguration(arguments.file);
    CollectingReporter reporter(&context.out);
    const CommandOutcome result = runCheck(config, context.driver, reporter);
    Outcome outcome;
    outcome.status = exitStatus(result);
    (outcome.status == kExitOk ? outcome.out : outcome.err).push_back(result.verdict);
    return print(outcome, context);
}

int runValidateCommand(const Arguments& arguments, CliContext& context) {
    const Configuration config = readConfiguration(arguments.file);
    if (!config.anyEnabled()) {
        context.err << kNoVanterSelected << std::endl;
        return kExitConfiguration;
    }
    const Validation validation = validateConfiguration(config);
    const ValidationReport report = formatValidation(validation);
    context.out << terminalText(report.out) << std::flush;
    context.err << terminalText(report.err) << std::flush;
    return validation.ok() ? kExitOk : kExitInvalidImage;
}

int runShowCommand(const Arguments& arguments, CliContext& context) {
    const Configuration config = readConfiguration(arguments.file);
    // JSON has escapes of its own for control characters.
    context.out << (arguments.json ? configurationJson(config)
                                   : terminalText(describeConfiguration(config)))
                << std::flush;
    return kExitOk;
}

std::vector<std::filesystem::path> imageFiles(const Configuration& config) {
    std::vector<std::filesystem::path> files;
    for (const SlotSettings& slot : config.slots) {
        if (slot.enabled && !slot.fileName.empty()) {
            files.push_back(pathFromNativeName(slot.fileName));
        }
    }
    return files;
}

// One timestamped line per download: the last status text (or the refusal, or the error);
// standard output on success, standard error otherwise.
int runWatchCommand(const Arguments& arguments, CliContext& context) {
    // A mistyped name would otherwise wait for a file that never comes.
    const std::filesystem::path configFile = pathFromNativeName(arguments.file);
    if (const std::string problem = openProblem(configFile); !problem.empty()) {
        throw FileError("Cannot read '" + arguments.file + "': " + problem);
    }
    std::optional<Configuration> config;
    std::string readError;
    const WatchedDownload watched{[&]() -> std::optional<std::vector<std::filesystem::path>> {
                                      config.reset();
                                      try {
                                          config = readConfiguration(arguments.file);
                                      } catch (const Error& error) {
                                          readError = error.message();
                                          return std::nullopt;
                                      }
                                      return imageFiles(*config);
                                  },
                                  [&] {
                                      Outcome outcome;
                                      if (config) {
                                          outcome = download(*config, context.driver, nullptr);
                                      } else {
                                          outcome.status = kExitConfiguration;
                                          outcome.err.assign(1, readError);
                                      }
                                      const bool ok = outcome.status == kExitOk;
                                      const std::vector<std::string>& lines =
                                          ok ? outcome.out : outcome.err;
                                      std::ostream& stream = ok ? context.out : context.err;
                                      stream << context.system.localTime() << ' '
                                             << terminalLine(lines.empty() ? "" : lines.front())
                                             << std::endl;
                                  }};
    watchAndDownload(configFile, context.system, watched, context.timing);
    return kExitOk;
}

void usageError(const UsageError& error, std::ostream& err) {
    err << kProgramName << ": " << terminalLine(error.what()) << '\n'
        << "Try '" << kProgramName << " --help' for more information." << std::endl;
}

} // namespace

int runCli(std::span<const std::string_view> args, CliContext& context) {
    Arguments arguments;
    try {
        arguments = parseArguments(args);
    } catch (const UsageError& error) {
        usageError(error, context.err);
        return kExitUsage;
    }
    if (arguments.help) {
        context.out << helpText() << std::flush;
        return kExitOk;
    }
    if (arguments.version) {
        context.out << versionText() << std::flush;
        return kExitOk;
    }
    try {
        switch (arguments.command) {
        case Command::download:
            return arguments.watch ? runWatchCommand(arguments, context)
                                   : runDownloadCommand(arguments, context);
        case Command::check:
            return runCheckCommand(arguments, context);
        case Command::validate:
            return runValidateCommand(arguments, context);
        case Command::show:
            return runShowCommand(arguments, context);
        case Command::map:
            return runMapCommand(readConfiguration(arguments.file), arguments.json, context.out,
                                 context.err);
        case Command::split:
            return runSplitCommand(arguments, context.out, context.err);
        case Command::none:
            break;
        }
    } catch (const Error& error) {
        // The texts the window's error box shows (without its added full stop).
        context.err << terminalLine(error.message()) << std::endl;
        return kExitConfiguration;
    }
    return kExitUsage;
}

} // namespace vanter::cli
