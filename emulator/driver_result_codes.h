#pragma once

// The fixed result codes of the driver library's SayHello and CheckVT, as the maker's library
// gives them. The commands turn them into texts; the stand-in answers with them. Any other code
// is a failure that the program shows in hexadecimal.

#include <cstdint>

namespace vanter::driver_result {

inline constexpr std::int32_t kOk = 0;
inline constexpr std::int32_t kNoPrinterDriver = -1; // the printer-port driver is not installed
inline constexpr std::int32_t kUsbFailed = 146;      // the USB link failed to initialise
inline constexpr std::int32_t kUnitNotFound = 153;   // a unit the call names is not in the chain

// CheckVT only: 256 + the address at which the unit's memory fails. Below it, a failed check
// is a configuration error.
inline constexpr std::int32_t kMemoryFaultBase = 256;

constexpr bool isMemoryFault(std::int32_t result) noexcept {
    return result >= kMemoryFaultBase;
}
// `address` at most INT32_MAX - kMemoryFaultBase.
constexpr std::int32_t memoryFault(std::int32_t address) noexcept {
    return kMemoryFaultBase + address;
}
constexpr std::int32_t memoryFaultAddress(std::int32_t result) noexcept {
    return result - kMemoryFaultBase;
}

} // namespace vanter::driver_result
