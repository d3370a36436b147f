#include "checksums.h"

#include <array>

namespace vanter::images {

namespace {

// Eight tables, so that the loop takes eight bytes a step (slicing by 8).
using Tables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr Tables makeTables() {
    Tables t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1U) ? 0xEDB88320U ^ (c >> 1) : c >> 1;
        }
        t[0][i] = c;
    }
    for (std::size_t i = 0; i < 256; ++i) {
        for (std::size_t s = 1; s < 8; ++s) {
            t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
        }
    }
    return t;
}

constexpr Tables kTables = makeTables();

} // namespace

std::uint32_t crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc) noexcept {
    crc = ~crc;
    const std::uint8_t* p = bytes.data();
    std::size_t n = bytes.size();
    while (n >= 8) {
        const std::uint32_t low = crc ^ (std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 |
                                         std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24);
        const std::uint32_t high = std::uint32_t{p[4]} | std::uint32_t{p[5]} << 8 |
                                   std::uint32_t{p[6]} << 16 | std::uint32_t{p[7]} << 24;
        crc = kTables[7][low & 0xFF] ^ kTables[6][(low >> 8) & 0xFF] ^
              kTables[5][(low >> 16) & 0xFF] ^ kTables[4][low >> 24] ^ kTables[3][high & 0xFF] ^
              kTables[2][(high >> 8) & 0xFF] ^ kTables[1][(high >> 16) & 0xFF] ^
              kTables[0][high >> 24];
        p += 8;
        n -= 8;
    }
    while (n-- > 0) {
        crc = kTables[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}

std::uint16_t byteSum(std::span<const std::uint8_t> bytes) noexcept {
    std::uint32_t sum = 0;
    for (const std::uint8_t b : bytes) {
        sum += b;
    }
    return static_cast<std::uint16_t>(sum);
}

} // namespace vanter::images
