// vanter3-cli: the command-line companion of the window program, for build scripts.

#include <exception>
#include <iostream>
#include <string_view>
#include <vector>

#include "arguments.h"
#include "cli.h"
#include "emulator/driver.h"
#include "exit_status.h"
#include "system_services.h"
#include "terminal_text.h"

int main(int argc, char** argv) {
    try {
        const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
        vanter::cli::RealWatchSystem system;
        vanter::cli::CliContext context{std::cout, std::cerr, vanter::linkedDriver(), system};
        return vanter::cli::runCli(args, context);
    } catch (const std::exception& error) {
        std::cerr << vanter::cli::kProgramName << ": " << vanter::cli::terminalLine(error.what())
                  << std::endl;
        return vanter::cli::kExitFailed;
    }
}
