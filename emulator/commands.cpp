#include "commands.h"

#include <string>

#include "config/errors.h"
#include "config/in3_file.h"
#include "config/numbers.h"
#include "script_path.h"

namespace vanter {

namespace {

struct Outcome {
    std::string status;
    std::string message;
};

Outcome downloadOutcome(std::int32_t result) {
    switch (result) {
    case 0:
        return {"Download OK", "Download OK"};
    case -1:
        return {"LPT Driver might not be installed", "Download Fail"};
    case 146:
        return {"Fail to initialize USB port", "Download Fail"};
    case 153:
        return {"Can't find VANTER III(A)", "Download Fail"};
    default:
        return {"Download Fail# " + toHex(result), "Download Fail"};
    }
}

// The driver would read a stale or missing script: report it and leave the driver alone.
// The detail names the file; a writer's reason that does not is given the name.
void reportUnwritableScript(Reporter& reporter, const std::filesystem::path& script,
                            const std::string& reason) {
    const std::string detail =
        reason.find(script.string()) != std::string::npos
            ? reason
            : "Download script '" + script.string() + "' not written: " + reason;
    reporter.setStatusText("Download Fail: " + detail);
    reporter.showMessage("Download Fail\n\n" + detail);
}

void download(const Configuration& config, Driver& driver, Reporter& reporter,
              const std::filesystem::path& scriptPath) {
    try {
        // A standard user may write the script at the root of C: but create no file there.
        writeConfigurationFile(scriptPath, config, LockedFolder::writeInPlace);
    } catch (const FileError& error) {
        reportUnwritableScript(reporter, scriptPath, error.what());
        return;
    }
    reporter.setStatusText("Download....");
    const Outcome outcome = downloadOutcome(driver.sayHello());
    reporter.setStatusText(outcome.status);
    reporter.showMessage(outcome.message);
}

std::string slotName(int slot) {
    return "Vanter#" + std::to_string(slot);
}

} // namespace

void runDownload(const Configuration& config, Driver& driver, Reporter& reporter,
                 const std::filesystem::path& scriptPath) {
    if (!config.anyEnabled()) {
        reporter.showMessage(kNoVanterSelected);
        return;
    }
    download(config, driver, reporter, scriptPath);
}

void runDownload(const Configuration& config, Driver& driver, Reporter& reporter) {
    if (!config.anyEnabled()) {
        reporter.showMessage(kNoVanterSelected);
        return;
    }
    std::filesystem::path scriptPath;
    try {
        scriptPath = downloadScriptPath();
    } catch (const FileError& error) {
        // The reason names the folder that can't be had.
        reporter.setStatusText(std::string("Download Fail: ") + error.what());
        reporter.showMessage(std::string("Download Fail\n\n") + error.what());
        return;
    }
    download(config, driver, reporter, scriptPath);
}

void runCheck(const Configuration& config, Driver& driver, Reporter& reporter) {
    if (!config.anyEnabled()) {
        reporter.showMessage(kNoVanterSelected);
        return;
    }
    // Computed once, before anything is shown: a typed port that does not convert stops here.
    const std::int32_t port = portNumber(config.port);
    const std::int32_t reset = config.resetLevel;

    for (int slot = 0; slot < kSlotCount; ++slot) {
        const SlotSettings& settings = config.slots[static_cast<std::size_t>(slot)];
        if (!settings.enabled)
            continue;
        // The check call counts memory types from 0, unlike the script.
        const std::int32_t memoryType = settings.memoryType;
        reporter.setStatusText("Checking " + slotName(slot) + "...");
        const std::int32_t result = driver.checkVT(port, reset, memoryType, slot);
        if (result == 0)
            continue;
        if (result >= 256)
            reporter.setStatusText(slotName(slot) + " fails at address $" + toHex(result - 256));
        else
            reporter.setStatusText(slotName(slot) + " config error $" + toHex(result));
        reporter.showMessage(slotName(slot) + " Fail");
        return;
    }
    reporter.setStatusText("Checking Vanter OK");
    reporter.showMessage("Check OK");
}

} // namespace vanter
