#pragma once

#include <string_view>

namespace vanter {

// Where a command reports: the detailed text in the status bar, then the short verdict in a
// message box (caption "VanterIII Message", OK only). The window implements it.
class Reporter {
public:
    virtual ~Reporter() = default;
    virtual void setStatusText(std::string_view text) = 0;
    virtual void showMessage(std::string_view text) = 0;
};

} // namespace vanter
