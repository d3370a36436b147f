#pragma once

// The two figures by which a memory part is recognised: the 16-bit byte sum that EPROM
// programmers show, and CRC-32.

#include <cstdint>
#include <span>

namespace vanter::images {

// CRC-32 as zip, PNG and Ethernet use it (reflected polynomial 0xEDB88320, initial and final
// value 0xFFFFFFFF): crc32("123456789") is 0xCBF43926. `crc` continues an earlier result.
std::uint32_t crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc = 0) noexcept;

// The sum of all bytes, modulo 0x10000.
std::uint16_t byteSum(std::span<const std::uint8_t> bytes) noexcept;

struct Checksums {
    std::uint16_t sum = 0;
    std::uint32_t crc = 0;

    bool operator==(const Checksums&) const = default;
};

inline Checksums checksums(std::span<const std::uint8_t> bytes) noexcept {
    return {byteSum(bytes), crc32(bytes)};
}

} // namespace vanter::images
