// check FILE.in3: every enabled unit checked in turn, as the window's Check button does.

#include "command_support.h"

#include <ostream>

#include "arguments.h"
#include "emulator/commands.h"
#include "exit_status.h"

namespace vanter::cli {

int runCheckCommand(const Arguments& arguments, CliContext& context) {
    const Configuration config = readConfiguration(arguments.file);
    CollectingReporter reporter(&context.out);
    const CommandOutcome result = runCheck(config, context.driver, reporter);
    Outcome outcome;
    outcome.status = exitStatus(result);
    (outcome.status == kExitOk ? outcome.out : outcome.err).push_back(result.verdict);
    return print(outcome, context);
}

} // namespace vanter::cli
