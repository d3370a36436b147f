#include "arguments.h"

#include <array>
#include <vector>

#ifndef VANTER_VERSION
#error "VANTER_VERSION must name the project version"
#endif

namespace vanter::cli {

namespace {

struct CommandEntry {
    std::string_view name;
    Command command;
};

constexpr std::array<CommandEntry, 4> kCommands{{
    {"download", Command::download},
    {"check", Command::check},
    {"validate", Command::validate},
    {"show", Command::show},
}};

enum class Flag { help, version, watch, json };

struct OptionEntry {
    std::string_view longName;
    char shortName;
    Flag flag;
};

constexpr std::array<OptionEntry, 4> kOptions{{
    {"help", 'h', Flag::help},
    {"version", 'V', Flag::version},
    {"watch", 'w', Flag::watch},
    {"json", 'j', Flag::json},
}};

std::string quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

// Sets the flag; true when parsing ends here (help, version).
bool apply(Flag flag, Arguments& arguments) {
    switch (flag) {
    case Flag::help:
        arguments.help = true;
        return true;
    case Flag::version:
        arguments.version = true;
        return true;
    case Flag::watch:
        arguments.watch = true;
        return false;
    case Flag::json:
        arguments.json = true;
        return false;
    }
    return false;
}

// "--name" or "--name=value". True when parsing ends here.
bool longOption(std::string_view arg, Arguments& arguments) {
    const std::string_view body = arg.substr(2);
    const std::size_t equals = body.find('=');
    const std::string_view name = body.substr(0, equals);
    for (const OptionEntry& option : kOptions) {
        if (option.longName != name) {
            continue;
        }
        if (equals != std::string_view::npos) {
            throw UsageError("option '--" + std::string(name) + "' doesn't allow an argument");
        }
        return apply(option.flag, arguments);
    }
    throw UsageError("unrecognized option " + quoted(arg));
}

// "-wj": each letter an option. True when parsing ends here.
bool shortOptions(std::string_view arg, Arguments& arguments) {
    for (const char letter : arg.substr(1)) {
        const OptionEntry* found = nullptr;
        for (const OptionEntry& option : kOptions) {
            if (option.shortName == letter) {
                found = &option;
            }
        }
        if (found == nullptr) {
            throw UsageError("invalid option -- " + quoted(std::string_view(&letter, 1)));
        }
        if (apply(found->flag, arguments)) {
            return true;
        }
    }
    return false;
}

Command findCommand(std::string_view name) {
    for (const CommandEntry& entry : kCommands) {
        if (entry.name == name) {
            return entry.command;
        }
    }
    throw UsageError("unknown command " + quoted(name));
}

} // namespace

Arguments parseArguments(std::span<const std::string_view> args) {
    Arguments arguments;
    std::vector<std::string_view> operands;
    bool optionsEnded = false;

    for (const std::string_view arg : args) {
        const bool isOption = !optionsEnded && arg.size() > 1 && arg.front() == '-';
        if (isOption && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (isOption) {
            const bool done =
                arg.starts_with("--") ? longOption(arg, arguments) : shortOptions(arg, arguments);
            if (done) {
                return arguments;
            }
            continue;
        }
        operands.push_back(arg);
    }

    if (operands.empty()) {
        throw UsageError("missing command");
    }
    arguments.command = findCommand(operands[0]);
    if (operands.size() > 2) {
        throw UsageError("unexpected argument " + quoted(operands[2]));
    }
    if (arguments.watch && arguments.command != Command::download) {
        throw UsageError("option '--watch' applies to 'download' only");
    }
    if (arguments.json && arguments.command != Command::show) {
        throw UsageError("option '--json' applies to 'show' only");
    }
    if (operands.size() < 2) {
        throw UsageError(quoted(operands[0]) + " needs a configuration file");
    }
    arguments.file = std::string(operands[1]);
    return arguments;
}

std::string_view commandName(Command command) noexcept {
    for (const CommandEntry& entry : kCommands) {
        if (entry.command == command) {
            return entry.name;
        }
    }
    return "";
}

std::string helpText() {
    return R"(Usage: vanter3-cli COMMAND [OPTION]... FILE.in3
Load, check and inspect a chain of VANTER III emulator units from a configuration
file (.in3) written by the window program vanter3.

Commands:
  download FILE.in3          write the download script and load every enabled unit
  download --watch FILE.in3  download, then download again whenever FILE.in3 or an
                             enabled unit's image file changes, until Ctrl+C
  check FILE.in3             check every enabled unit in turn
  validate FILE.in3          without the driver: check that every enabled unit's
                             image file exists, reads in its format and fits its part
  show FILE.in3              print the configuration in words
  show --json FILE.in3       print the configuration as JSON

Options:
  -w, --watch     with download: keep running and download again after each change
  -j, --json      with show: machine-readable output
  -h, --help      print this help and exit
  -V, --version   print the version and exit

The status texts go to standard output as they come; the verdict goes to standard
output on success and to standard error on failure. Image file names that are not
absolute are taken from the working directory, as the driver library takes them.

Exit status:
  0  success
  1  the driver reported a failure (download or check failed)
  2  the command line is wrong
  3  the configuration file can't be read, is not valid, or enables no unit
  4  validate found a problem with a unit's image
  5  the download script can't be written; the driver was not called
)";
}

std::string versionText() {
    return std::string(kProgramName) + " " VANTER_VERSION "\n";
}

} // namespace vanter::cli
