// download --watch FILE.in3: downloads again whenever the configuration or an enabled unit's
// image changes (the waiting is in watch.h), one timestamped line per download.

#include "command_support.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "arguments.h"
#include "config/errors.h"
#include "exit_status.h"
#include "fs/native_name.h"
#include "system_services.h"
#include "terminal_text.h"

namespace vanter::cli {

namespace {

std::vector<std::filesystem::path> imageFiles(const Configuration& config) {
    std::vector<std::filesystem::path> files;
    for (const SlotSettings& slot : config.slots) {
        if (slot.enabled && !slot.fileName.empty()) {
            files.push_back(pathFromNativeName(slot.fileName));
        }
    }
    return files;
}

// What the watch loop reads and downloads each time: the configuration as last read, or why
// it could not be read.
class WatchedConfiguration {
public:
    WatchedConfiguration(const std::string& file, CliContext& context)
        : file_(file), context_(context) {}

    // The image files to watch; nullopt when the configuration can't be read.
    std::optional<std::vector<std::filesystem::path>> read() {
        config_.reset();
        try {
            config_ = readConfiguration(file_);
        } catch (const Error& error) {
            readError_ = error.message();
            return std::nullopt;
        }
        return imageFiles(*config_);
    }

    // One line: the last status text (or the refusal, or the error), timestamped; standard
    // output on success, standard error otherwise.
    void download() const {
        const Outcome outcome = downloadOrRefusal();
        const bool ok = outcome.status == kExitOk;
        const std::vector<std::string>& lines = ok ? outcome.out : outcome.err;
        std::ostream& stream = ok ? context_.out : context_.err;
        stream << context_.system.localTime() << ' '
               << terminalLine(lines.empty() ? "" : lines.front()) << std::endl;
    }

private:
    Outcome downloadOrRefusal() const {
        if (config_) {
            return cli::download(*config_, context_.driver, nullptr);
        }
        Outcome refused;
        refused.status = kExitConfiguration;
        refused.err.assign(1, readError_);
        return refused;
    }

    const std::string& file_;
    CliContext& context_;
    std::optional<Configuration> config_;
    std::string readError_;
};

} // namespace

int runWatchCommand(const Arguments& arguments, CliContext& context) {
    // A mistyped name would otherwise wait for a file that never comes.
    const std::filesystem::path configFile = pathFromNativeName(arguments.file);
    if (const std::string problem = openProblem(configFile); !problem.empty()) {
        throw FileError("Cannot read '" + arguments.file + "': " + problem);
    }
    WatchedConfiguration watched(arguments.file, context);
    watchAndDownload(configFile, context.system,
                     {[&watched] { return watched.read(); },
                      [&watched] {
                          watched.download();
                      }},
                     context.timing);
    return kExitOk;
}

} // namespace vanter::cli
