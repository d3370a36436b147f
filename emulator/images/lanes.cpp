#include "lanes.h"

#include <vector>

#include "record_writer.h"

namespace vanter::images {

MemoryImage laneOf(const MemoryImage& bus, std::uint32_t lanes, std::uint32_t lane) {
    MemoryImage out(bus.size() / lanes);
    std::vector<std::uint8_t> run;
    // A run of loaded bus addresses is a run of loaded lane addresses in every lane.
    for (const AddressRange& range : bus.loadedRanges()) {
        const std::uint64_t skip = (lane + lanes - range.first % lanes) % lanes;
        if (range.first + skip > range.last) {
            continue;
        }
        run.clear();
        for (std::uint64_t a = range.first + skip; a <= range.last; a += lanes) {
            run.push_back(bus.at(static_cast<std::uint32_t>(a)));
        }
        // Distinct bus addresses give distinct lane addresses: nothing can contradict.
        (void)out.put(static_cast<std::uint32_t>((range.first + skip) / lanes), run);
    }
    return out;
}

namespace {

std::vector<writer::Block> blocks(const MemoryImage& memory, std::uint32_t base) {
    std::vector<writer::Block> out;
    for (const AddressRange& range : memory.loadedRanges()) {
        writer::Block block{base + range.first, {}};
        block.bytes.reserve(range.last - range.first + 1);
        for (std::uint64_t a = range.first; a <= range.last; ++a) {
            block.bytes.push_back(memory.at(static_cast<std::uint32_t>(a)));
        }
        out.push_back(std::move(block));
    }
    return out;
}

constexpr std::size_t kRecordSize = 16;

std::string intelHexText(const std::vector<writer::Record>& records) {
    std::string out;
    std::uint32_t upper = 0; // of the addresses, as the last extended linear address record set
    for (const writer::Record& r : records) {
        // records() never lets a record cross a 64 KiB boundary.
        if ((r.address >> 16) != upper) {
            upper = r.address >> 16;
            out += writer::hexRecord(0x04, 0, {std::uint8_t(upper >> 8), std::uint8_t(upper)});
        }
        out += writer::hexRecord(0x00, r.address & 0xFFFF, r.bytes);
    }
    out += writer::hexRecord(0x01, 0, {});
    return out;
}

std::string sRecordText(const std::vector<writer::Record>& records) {
    std::uint32_t highest = 0;
    for (const writer::Record& r : records) {
        highest = std::max<std::uint32_t>(highest, r.address + std::uint32_t(r.bytes.size()) - 1);
    }
    const int addressBytes = highest <= 0xFFFF ? 2 : highest <= 0xFFFFFF ? 3 : 4;
    std::string out = writer::sRecord(0, 0, 2, {});
    for (const writer::Record& r : records) {
        out += writer::sRecord(addressBytes - 1, r.address, addressBytes, r.bytes);
    }
    const auto count = static_cast<std::uint32_t>(records.size());
    out += count > 0xFFFF ? writer::sRecord(6, count, 3, {}) : writer::sRecord(5, count, 2, {});
    out += writer::sRecord(11 - addressBytes, 0, addressBytes, {});
    return out;
}

} // namespace

std::string imageFileText(const MemoryImage& memory, parts::ImageFormat format,
                          std::uint32_t base) {
    switch (format) {
    case parts::ImageFormat::binary: {
        const auto highest = memory.highest();
        if (!highest) {
            return {};
        }
        std::string out(std::size_t{*highest} + 1, '\0');
        for (std::uint32_t a = 0; a <= *highest; ++a) {
            out[a] = static_cast<char>(memory.at(a)); // 0xFF where nothing was loaded
        }
        return out;
    }
    case parts::ImageFormat::intelHex:
        return intelHexText(writer::records(blocks(memory, base), kRecordSize));
    case parts::ImageFormat::sRecord:
        return sRecordText(writer::records(blocks(memory, base), kRecordSize));
    }
    return {};
}

} // namespace vanter::images
