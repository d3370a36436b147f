#pragma once

// Root passes every permission check, so a file that this user can't read or a folder it can't
// write stops nobody when the tests run as root (as in CI). While an AsOrdinaryUser lives, the
// whole process checks permissions as any other user does: the capabilities that bypass them
// leave the effective set of every thread (each thread has its own, so each is asked through
// a signal to lower its own), and come back when it ends. Where that can't be done, the
// constructor says why on standard error and throws, so that the test fails instead of
// passing as root. Elsewhere it does nothing.

#if defined(__linux__)
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace vanter::testing {

#if defined(__linux__)
class AsOrdinaryUser {
public:
    AsOrdinaryUser() {
        if (::syscall(SYS_capget, &header(), saved_) != 0) {
            refuse("capget: " + std::string(std::strerror(errno)));
        }
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) {
            lowered[CAP_TO_INDEX(cap)].effective &= ~CAP_TO_MASK(cap);
        }
        if (const std::string problem = setEverywhere(lowered); !problem.empty()) {
            setEverywhere(saved_);
            refuse(problem);
        }
    }
    ~AsOrdinaryUser() {
        if (const std::string problem = setEverywhere(saved_); !problem.empty()) {
            std::fprintf(stderr, "AsOrdinaryUser: capabilities not restored: %s\n",
                         problem.c_str());
        }
    }
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;

private:
    static __user_cap_header_struct& header() {
        static __user_cap_header_struct value{_LINUX_CAPABILITY_VERSION_3, 0};
        return value;
    }

    // What each thread sets, and how many did so or failed to.
    static inline __user_cap_data_struct wanted_[2]{};
    static inline std::atomic<int> set_{0};
    static inline std::atomic<int> failed_{0};

    static void onSignal(int) {
        __user_cap_header_struct own{_LINUX_CAPABILITY_VERSION_3, 0};
        (::syscall(SYS_capset, &own, wanted_) == 0 ? set_ : failed_).fetch_add(1);
    }

    [[noreturn]] static void refuse(const std::string& problem) {
        const std::string text = "can't run as an ordinary user: " + problem;
        std::fprintf(stderr, "AsOrdinaryUser: %s\n", text.c_str());
        throw std::runtime_error(text);
    }

    // Sets `caps` on this thread and every other one of the process; empty, or what failed.
    static std::string setEverywhere(const __user_cap_data_struct (&caps)[2]) {
        wanted_[0] = caps[0];
        wanted_[1] = caps[1];
        if (::syscall(SYS_capset, &header(), wanted_) != 0) {
            return "capset: " + std::string(std::strerror(errno));
        }
        const int signal = SIGRTMAX - 1;
        struct sigaction action {
        }, previous{};
        action.sa_handler = onSignal;
        action.sa_flags = SA_RESTART;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, &previous);
        set_ = 0;
        failed_ = 0;
        int asked = 0;
        std::error_code error;
        for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
            const pid_t thread = std::stoi(task.path().filename().string());
            if (thread != ::gettid() && ::syscall(SYS_tgkill, ::getpid(), thread, signal) == 0) {
                ++asked;
            }
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (set_ + failed_ < asked && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (set_ + failed_ == asked) {
            // Only then: a signal still pending would otherwise end the process.
            ::sigaction(signal, &previous, nullptr);
        }
        if (error) {
            return "the threads can't be listed: " + error.message();
        }
        if (set_ != asked) {
            return std::to_string(asked - set_) + " of " + std::to_string(asked) +
                   " other threads kept their capabilities (capset refused, or the signal "
                   "blocked)";
        }
        return {};
    }

    __user_cap_data_struct saved_[2]{};
};
#else
// Nothing to lower. The constructor is the user's own (not defaulted): a trivial guard would be
// an unused variable to the compiler.
class AsOrdinaryUser {
public:
    AsOrdinaryUser() {}
};
#endif

} // namespace vanter::testing
