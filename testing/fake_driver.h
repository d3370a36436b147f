#pragma once

// A driver library that answers from a script and records every call.

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "emulator/driver.h"
#include "test_folder.h"

namespace vanter::testing {

class FakeDriver final : public vanter::Driver {
public:
    struct CheckCall {
        std::int32_t port, reset, memoryType, slot;
        bool operator==(const CheckCall&) const = default;
        friend std::ostream& operator<<(std::ostream& out, const CheckCall& call) {
            return out << "{" << call.port << ", " << call.reset << ", " << call.memoryType << ", "
                       << call.slot << "}";
        }
    };

    FakeDriver() = default;
    // Also writes each call into `log` ("SayHello()", "CheckVT(1, 0, 4, 0)"), which a reporter
    // may share, and keeps the download script `script` as it stands at each SayHello.
    FakeDriver(std::vector<std::string>& log, std::filesystem::path script)
        : log_(&log), script_(std::move(script)) {}

    // The answers: the queued ones in order, then the standing one.
    std::int32_t helloResult = 0;
    std::int32_t checkResult = 0;
    std::deque<std::int32_t> helloResults;
    std::deque<std::int32_t> checkResults;
    // Runs inside every call before it answers; what it raises leaves the call.
    std::function<void()> duringCall;

    int helloCalls = 0;
    std::vector<CheckCall> checkCalls;
    std::vector<std::string> scriptsSeen;

    std::int32_t sayHello() override {
        ++helloCalls;
        note("SayHello()");
        if (!script_.empty()) {
            scriptsSeen.push_back(readBytes(script_));
        }
        return answer(helloResults, helloResult);
    }
    std::int32_t checkVT(std::int32_t port, std::int32_t reset, std::int32_t memoryType,
                         std::int32_t slot) override {
        checkCalls.push_back({port, reset, memoryType, slot});
        note("CheckVT(" + std::to_string(port) + ", " + std::to_string(reset) + ", " +
             std::to_string(memoryType) + ", " + std::to_string(slot) + ")");
        return answer(checkResults, checkResult);
    }

private:
    void note(const std::string& call) {
        if (log_ != nullptr) {
            log_->push_back(call);
        }
    }
    std::int32_t answer(std::deque<std::int32_t>& queued, std::int32_t standing) {
        if (duringCall) {
            duringCall();
        }
        if (queued.empty()) {
            return standing;
        }
        const std::int32_t result = queued.front();
        queued.pop_front();
        return result;
    }

    std::vector<std::string>* log_ = nullptr;
    std::filesystem::path script_;
};

} // namespace vanter::testing
