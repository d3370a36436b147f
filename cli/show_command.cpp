// show FILE.in3: the configuration as the window would show it, or as JSON.

#include "command_support.h"

#include <ostream>

#include "arguments.h"
#include "describe.h"
#include "exit_status.h"
#include "terminal_text.h"

namespace vanter::cli {

int runShowCommand(const Arguments& arguments, CliContext& context) {
    const Configuration config = readConfiguration(arguments.file);
    // JSON has escapes of its own for control characters.
    context.out << (arguments.json ? configurationJson(config)
                                   : terminalText(describeConfiguration(config)))
                << std::flush;
    return kExitOk;
}

} // namespace vanter::cli
