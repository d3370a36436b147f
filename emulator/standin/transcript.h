#pragma once

// The transcript: when VANTER_SIM_TRANSCRIPT names a file, every call appends one line with its
// arguments and result, a failing call a second line with the reason, and a call with remarks
// one line for each:
//   SayHello() script=/run/user/1000/vanter3/$$temp.in3 -> 153
//     reason: unit #2 is not present (VANTER_SIM_UNITS)
//   SayHello() script=/run/user/1000/vanter3/$$temp.in3 -> 0
//     note: unit memories in /home/dev/.cache/vanter3-sim
//   CheckVT(1, 0, 4, 0) -> 0

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vanter::standin {

// Appends the call's lines to the transcript named by VANTER_SIM_TRANSCRIPT, if any. A
// transcript that can't be written is skipped: it must never change a result.
void record(std::string_view call, std::int32_t result, std::string_view reason,
            const std::vector<std::string>& notes = {}) noexcept;

} // namespace vanter::standin
