#include "cli.h"

#include <ostream>
#include <string_view>

#include "arguments.h"
#include "command_support.h"
#include "config/errors.h"
#include "exit_status.h"
#include "map_command.h"
#include "split_command.h"
#include "terminal_text.h"

namespace vanter::cli {

namespace {

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
