#pragma once

// Intel HEX and S-record records written from blocks of data: the files of lanes.h, and the
// generated images of the tests and the benchmark. Not used by the loader.

#include <algorithm>
#include <cstdint>
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

} // namespace vanter::images::writer
