#pragma once

#include <cstdint>
#include <span>

namespace vanter::standin {

// CRC-32 as zip, PNG and Ethernet use it (reflected polynomial 0xEDB88320, initial and final
// value 0xFFFFFFFF): crc32("123456789") is 0xCBF43926. `crc` continues an earlier result.
std::uint32_t crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc = 0) noexcept;

} // namespace vanter::standin
