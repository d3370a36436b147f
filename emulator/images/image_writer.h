#pragma once

// Writes Intel HEX and S-record text from blocks of data, for the tests and the benchmark
// (generated images of any size, addressing mode and record order); its records also make the
// files of lanes.h. Not used by the loader.

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace vanter::images::writer {

struct Block {
    std::uint32_t address; // file address of the first byte
    std::vector<std::uint8_t> bytes;
};

struct Record {
    std::uint32_t address;
    std::vector<std::uint8_t> bytes;
};

// Splits blocks into records of at most `size` bytes that do not cross a 64 KiB boundary.
inline std::vector<Record> records(const std::vector<Block>& blocks, std::size_t size) {
    std::vector<Record> out;
    for (const Block& block : blocks) {
        std::size_t at = 0;
        while (at < block.bytes.size()) {
            const std::uint32_t address = block.address + static_cast<std::uint32_t>(at);
            const std::size_t room = 0x10000 - (address & 0xFFFF);
            const std::size_t n = std::min({size, block.bytes.size() - at, room});
            out.push_back({address,
                           {block.bytes.begin() + static_cast<std::ptrdiff_t>(at),
                            block.bytes.begin() + static_cast<std::ptrdiff_t>(at + n)}});
            at += n;
        }
    }
    return out;
}

inline void shuffle(std::vector<Record>& list, unsigned seed) {
    std::mt19937 random(seed);
    std::shuffle(list.begin(), list.end(), random);
}

inline void appendHex(std::string& out, unsigned byte) {
    constexpr char digits[] = "0123456789ABCDEF";
    out += digits[(byte >> 4) & 0xF];
    out += digits[byte & 0xF];
}

// One Intel HEX record with its checksum.
inline std::string hexRecord(unsigned type, unsigned address,
                             const std::vector<std::uint8_t>& data) {
    std::string line = ":";
    unsigned sum = static_cast<unsigned>(data.size()) + (address >> 8) + (address & 0xFF) + type;
    appendHex(line, static_cast<unsigned>(data.size()));
    appendHex(line, address >> 8);
    appendHex(line, address & 0xFF);
    appendHex(line, type);
    for (std::uint8_t b : data) {
        appendHex(line, b);
        sum += b;
    }
    appendHex(line, (0x100 - (sum & 0xFF)) & 0xFF);
    return line + "\n";
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

// One S-record of type S<type> with an address of `addressBytes` bytes.
inline std::string sRecord(int type, std::uint32_t address, int addressBytes,
                           const std::vector<std::uint8_t>& data) {
    std::string line = "S" + std::to_string(type);
    const unsigned count = static_cast<unsigned>(addressBytes + data.size() + 1);
    unsigned sum = count;
    appendHex(line, count);
    for (int i = addressBytes - 1; i >= 0; --i) {
        const unsigned byte = (address >> (8 * i)) & 0xFF;
        appendHex(line, byte);
        sum += byte;
    }
    for (std::uint8_t b : data) {
        appendHex(line, b);
        sum += b;
    }
    appendHex(line, ~sum & 0xFF);
    return line + "\n";
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
