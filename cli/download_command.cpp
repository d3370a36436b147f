// download FILE.in3: one download, the status texts shown as they come.

#include "command_support.h"

#include "arguments.h"

namespace vanter::cli {

int runDownloadCommand(const Arguments& arguments, CliContext& context) {
    const Configuration config = readConfiguration(arguments.file);
    return print(download(config, context.driver, &context.out), context);
}

} // namespace vanter::cli
