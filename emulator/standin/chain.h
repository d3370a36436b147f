#pragma once

// The simulated chain of units, set by environment variables that are read at every call, so a
// user or a test can change the chain between calls:
//   VANTER_SIM_UNITS     units present, e.g. "0,1,3"; empty: none; unset: all four
//   VANTER_SIM_NO_LPT    "1": the printer-port driver is missing ("0" or empty: present)
//   VANTER_SIM_USB_FAIL  "1": the USB link fails to initialise ("0" or empty: it works)
//   VANTER_SIM_FAULT     memory faults, e.g. "2:1f00" or "0:0,2:1f00" (unit:hex address)
// Unset, the chain is four healthy units reachable on every port.

#include <array>
#include <cstdint>
#include <optional>

#include "result_codes.h"

namespace vanter::standin {

struct Chain {
    std::array<bool, 4> present{true, true, true, true};
    bool noPrinterDriver = false;
    bool usbFails = false;
    std::array<std::optional<std::uint32_t>, 4> faultAddress{}; // CheckVT fails there

    // -1 for a printer port without its driver, 146 for a failing USB link, else 0.
    Verdict link(std::int32_t port) const;
    // 153 when the unit is not present, else 0.
    Verdict find(int slot) const;
};

// Reads the VANTER_SIM_ variables into `chain`; a malformed one gives kBadSimulationSetting.
Verdict readChain(Chain& chain);

} // namespace vanter::standin
