#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vanter {

// What a Download or Check command came to. The status texts went to the Reporter as the
// command ran; the window shows message() in its message box, the command-line program
// prints the verdict and picks its exit status by the kind.
struct CommandOutcome {
    enum class Kind {
        NoUnitEnabled,    // refused: nothing written, the driver not called
        ScriptNotWritten, // Download: the script or its folder can't be had; the driver not called
        DriverCalled,     // the driver answered every call in driverResults
    };

    Kind kind = Kind::NoUnitEnabled;
    // The driver's result for each call, in order: SayHello's, or CheckVT's for each slot
    // checked up to the first failure.
    std::vector<std::int32_t> driverResults;
    std::string verdict; // "Download OK", "Vanter#2 Fail", "No Vanter is selected: Abort!!"...
    std::string reason;  // ScriptNotWritten: what went wrong, naming the file or folder

    // The driver was called and every call succeeded.
    bool succeeded() const noexcept;
    // The message box's text: the verdict, with the reason below it.
    std::string message() const;
};

} // namespace vanter
