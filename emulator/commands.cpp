#include "commands.h"

#include <string>

#include "config/errors.h"
#include "config/in3_file.h"
#include "config/numbers.h"
#include "driver_result_codes.h"
#include "parts/parts.h"
#include "script_path.h"
#include "text/hex.h"

namespace vanter {

namespace {

using Kind = CommandOutcome::Kind;

std::string downloadStatus(std::int32_t result) {
    switch (result) {
    case driver_result::kOk:
        return "Download OK";
    case driver_result::kNoPrinterDriver:
        return "LPT Driver might not be installed";
    case driver_result::kUsbFailed:
        return "Fail to initialize USB port";
    case driver_result::kUnitNotFound:
        return "Can't find VANTER III(A)";
    default:
        return "Download Fail# " + text::toHex(result);
    }
}

CommandOutcome noUnitEnabled() {
    return {Kind::NoUnitEnabled, {}, std::string(kNoVanterSelected), {}};
}

// The driver would read a stale or missing script: report it and leave the driver alone.
CommandOutcome scriptNotWritten(Reporter& reporter, const std::string& reason) {
    reporter.setStatusText("Download Fail: " + reason);
    return {Kind::ScriptNotWritten, {}, "Download Fail", reason};
}

CommandOutcome download(const Configuration& config, Driver& driver, Reporter& reporter,
                        const std::filesystem::path& scriptPath) {
    try {
        // A standard user may write the script at the root of C: but create no file there.
        writeConfigurationFile(scriptPath, config, LockedFolder::writeInPlace);
    } catch (const FileError& error) {
        // The reason names the file; a writer's reason that does not is given the name.
        const std::string reason = error.what();
        return scriptNotWritten(reporter, reason.find(scriptPath.string()) != std::string::npos
                                              ? reason
                                              : "Download script '" + scriptPath.string() +
                                                    "' not written: " + reason);
    }
    reporter.setStatusText("Download....");
    const std::int32_t result = driver.sayHello();
    reporter.setStatusText(downloadStatus(result));
    return {Kind::DriverCalled,
            {result},
            result == driver_result::kOk ? "Download OK" : "Download Fail",
            {}};
}

std::string slotName(int slot) {
    return "Vanter#" + std::to_string(slot);
}

} // namespace

CommandOutcome runDownload(const Configuration& config, Driver& driver, Reporter& reporter,
                           const std::filesystem::path& scriptPath) {
    if (!config.anyEnabled()) {
        return noUnitEnabled();
    }
    return download(config, driver, reporter, scriptPath);
}

CommandOutcome runDownload(const Configuration& config, Driver& driver, Reporter& reporter) {
    if (!config.anyEnabled()) {
        return noUnitEnabled();
    }
    std::filesystem::path scriptPath;
    try {
        scriptPath = downloadScriptPath();
    } catch (const FileError& error) {
        // The reason names the folder that can't be had.
        return scriptNotWritten(reporter, error.what());
    }
    return download(config, driver, reporter, scriptPath);
}

CommandOutcome runCheck(const Configuration& config, Driver& driver, Reporter& reporter) {
    if (!config.anyEnabled()) {
        return noUnitEnabled();
    }
    // Computed once, before anything is shown: a typed port that does not convert stops here.
    const std::int32_t port = portNumber(config.port);
    const std::int32_t reset = config.resetLevel;

    CommandOutcome outcome{Kind::DriverCalled, {}, "Check OK", {}};
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const SlotSettings& settings = config.slots[static_cast<std::size_t>(slot)];
        if (!settings.enabled) {
            continue;
        }
        const std::int32_t memoryType = parts::driverType(settings.memoryType);
        reporter.setStatusText("Checking " + slotName(slot) + "...");
        const std::int32_t result = driver.checkVT(port, reset, memoryType, slot);
        outcome.driverResults.push_back(result);
        if (result == driver_result::kOk) {
            continue;
        }
        if (driver_result::isMemoryFault(result)) {
            reporter.setStatusText(slotName(slot) + " fails at address $" +
                                   text::toHex(driver_result::memoryFaultAddress(result)));
        } else {
            reporter.setStatusText(slotName(slot) + " config error $" + text::toHex(result));
        }
        outcome.verdict = slotName(slot) + " Fail";
        return outcome;
    }
    reporter.setStatusText("Checking Vanter OK");
    return outcome;
}

} // namespace vanter
