// validate FILE.in3: every enabled unit's image read as the driver would, without it.

#include "command_support.h"

#include <ostream>

#include "arguments.h"
#include "config/errors.h"
#include "exit_status.h"
#include "terminal_text.h"
#include "validate.h"

namespace vanter::cli {

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

} // namespace vanter::cli
