#pragma once

#include <string_view>

namespace vanter {

// Where a command reports its progress as it runs: the detailed text in the status bar. The
// window implements it; the verdict comes back in the command's CommandOutcome.
class Reporter {
public:
    virtual ~Reporter() = default;
    virtual void setStatusText(std::string_view text) = 0;
};

} // namespace vanter
