#pragma once

// Whole Intel HEX and S-record files from records, for the tests, the benchmark and the fuzz
// targets: generated images of any size, addressing mode and record order.

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "emulator/images/record_writer.h"

namespace vanter::images::writer {

inline void shuffle(std::vector<Record>& list, unsigned seed) {
    std::mt19937 random(seed);
    std::shuffle(list.begin(), list.end(), random);
}

enum class Addressing { none, segment, linear };

// Intel HEX of the records in their order. `none` needs every address below 0x10000; `segment`
// takes the segment of each record from its address with the low 15 bits cleared, so that
// segments overlap; `linear` uses extended linear address records. Start address records and
// the end-of-file record are added.
inline std::string intelHex(const std::vector<Record>& list, Addressing addressing) {
    std::string out;
    std::int64_t base = addressing == Addressing::none ? 0 : -1;
    for (const Record& r : list) {
        std::uint32_t wanted = 0;
        if (addressing == Addressing::segment) {
            wanted = r.address & ~0x7FFFu;
            if (std::int64_t{wanted} != base) {
                const unsigned segment = wanted >> 4;
                out += hexRecord(0x02, 0, {std::uint8_t(segment >> 8), std::uint8_t(segment)});
            }
        } else if (addressing == Addressing::linear) {
            wanted = r.address & 0xFFFF0000u;
            if (std::int64_t{wanted} != base) {
                out += hexRecord(0x04, 0, {std::uint8_t(wanted >> 24), std::uint8_t(wanted >> 16)});
            }
        }
        base = wanted;
        out += hexRecord(0x00, r.address - wanted, r.bytes);
    }
    if (addressing == Addressing::segment) {
        out += hexRecord(0x03, 0, {0x12, 0x34, 0x00, 0x10});
    } else if (addressing == Addressing::linear) {
        out += hexRecord(0x05, 0, {0x00, 0x00, 0x01, 0x00});
    }
    out += hexRecord(0x01, 0, {});
    return out;
}

// S-records with `addressBytes` 2 (S1/S9), 3 (S2/S8) or 4 (S3/S7): a header, the data records,
// a count record (S5, or S6 above 65535 records) and the termination record.
inline std::string sRecords(const std::vector<Record>& list, int addressBytes) {
    const int data = addressBytes - 1;
    std::string out = sRecord(0, 0, 2, {'t', 'e', 's', 't'});
    for (const Record& r : list) {
        out += sRecord(data, r.address, addressBytes, r.bytes);
    }
    const auto n = static_cast<std::uint32_t>(list.size());
    out += n > 0xFFFF ? sRecord(6, n, 3, {}) : sRecord(5, n, 2, {});
    out += sRecord(10 - data, 0, addressBytes, {});
    return out;
}

// Random bytes, reproducible from the seed.
inline std::vector<std::uint8_t> randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> out(n);
    for (auto& b : out) {
        b = static_cast<std::uint8_t>(random());
    }
    return out;
}

} // namespace vanter::images::writer
