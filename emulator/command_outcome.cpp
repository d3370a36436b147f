#include "command_outcome.h"

#include <algorithm>

#include "driver_result_codes.h"

namespace vanter {

bool CommandOutcome::succeeded() const noexcept {
    return kind == Kind::DriverCalled &&
           std::ranges::all_of(driverResults,
                               [](std::int32_t result) { return result == driver_result::kOk; });
}

std::string CommandOutcome::message() const {
    return kind == Kind::ScriptNotWritten ? verdict + "\n\n" + reason : verdict;
}

} // namespace vanter
