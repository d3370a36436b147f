#pragma once

// A reporter that writes what a command reports into a log, in the order it comes.

#include <string>
#include <string_view>
#include <vector>

#include "emulator/command_outcome.h"
#include "emulator/reporter.h"

namespace vanter::testing {

class FakeReporter final : public vanter::Reporter {
public:
    // `log` may be shared with a FakeDriver, so that status texts and calls interleave.
    explicit FakeReporter(std::vector<std::string>& log) : log_(log) {}

    void setStatusText(std::string_view text) override {
        log_.push_back("status: " + std::string(text));
    }
    // The message the window shows for the outcome, after the status texts.
    vanter::CommandOutcome show(vanter::CommandOutcome outcome) {
        log_.push_back("message: " + outcome.message());
        return outcome;
    }

private:
    std::vector<std::string>& log_;
};

} // namespace vanter::testing
