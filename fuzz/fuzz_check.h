#pragma once

// Shared by the fuzz entry points: a check that stops the run with a readable message. libFuzzer
// turns the abort into a crash report with the input; the replay tests turn it into a failed test.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

// Marks a harness function whose own loops should not count as coverage: the fuzzer then
// steers by the code under test alone, and runs faster.
#if defined(__clang__)
#define FUZZ_NO_COVERAGE __attribute__((no_sanitize("coverage")))
#else
#define FUZZ_NO_COVERAGE
#endif

namespace vanter::fuzz {

[[noreturn]] inline void fail(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    std::fflush(stderr);
    std::abort();
}

inline std::string_view asText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace vanter::fuzz

#define FUZZ_CHECK(condition)                                                                      \
    ((condition) ? static_cast<void>(0) : ::vanter::fuzz::fail(#condition, __FILE__, __LINE__))

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
