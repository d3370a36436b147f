#include "memory_image.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vanter::images {

namespace {

// The bits of one bitmap word that cover addresses [first, first + count) of it.
constexpr std::uint64_t wordMask(std::uint32_t firstBit, std::uint32_t count) noexcept {
    const std::uint64_t ones = count >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
    return ones << firstBit;
}

} // namespace

MemoryImage::MemoryImage(std::uint32_t size) : size_(size) {}

void MemoryImage::cover(std::uint32_t end) {
    if (end > bytes_.size()) {
        // The whole part at once: growing by copying would hold the old and the new bytes
        // together. A reservation takes address space only; pages count once they are written.
        bytes_.reserve(size_);
        bytes_.resize(end, kErased);
    }
    // memory() may have grown the bytes alone.
    const std::size_t words = (std::size_t{end} + 63) / 64;
    if (words > loaded_.size()) {
        loaded_.reserve((std::size_t{size_} + 63) / 64);
        loaded_.resize(words, 0);
    }
}

std::span<const std::uint8_t> MemoryImage::memory() const {
    bytes_.resize(size_, kErased);
    return bytes_;
}

bool MemoryImage::anyLoaded(std::uint32_t first, std::uint32_t count) const noexcept {
    while (count > 0) {
        const std::uint32_t bit = first % 64;
        const std::uint32_t take = std::min<std::uint32_t>(count, 64 - bit);
        if (loaded_[first / 64] & wordMask(bit, take)) {
            return true;
        }
        first += take;
        count -= take;
    }
    return false;
}

std::uint64_t MemoryImage::markLoaded(std::uint32_t first, std::uint32_t count,
                                      bool countNew) noexcept {
    std::uint64_t added = 0;
    while (count > 0) {
        const std::uint32_t bit = first % 64;
        const std::uint32_t take = std::min<std::uint32_t>(count, 64 - bit);
        const std::uint64_t mask = wordMask(bit, take);
        std::uint64_t& word = loaded_[first / 64];
        if (countNew) {
            added += static_cast<std::uint64_t>(std::popcount(mask & ~word));
        }
        word |= mask;
        first += take;
        count -= take;
    }
    return added;
}

std::optional<MemoryImage::Conflict> MemoryImage::put(std::uint32_t address,
                                                      std::span<const std::uint8_t> data) {
    const auto count = static_cast<std::uint32_t>(data.size());
    if (count == 0) {
        return std::nullopt;
    }
    cover(address + count);
    if (!anyLoaded(address, count)) {
        // The usual case: fresh addresses, every byte new.
        std::memcpy(bytes_.data() + address, data.data(), count);
        markLoaded(address, count, false);
        bytesLoaded_ += count;
    } else {
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint32_t at = address + i;
            if (isLoaded(at) && bytes_[at] != data[i]) {
                return Conflict{at, bytes_[at], data[i]};
            }
        }
        std::memcpy(bytes_.data() + address, data.data(), count);
        bytesLoaded_ += markLoaded(address, count, true);
    }
    lowest_ = std::min(lowest_, address);
    highest_ = std::max(highest_, address + count - 1);
    return std::nullopt;
}

std::optional<std::uint32_t> MemoryImage::lowest() const noexcept {
    if (bytesLoaded_ == 0) {
        return std::nullopt;
    }
    return lowest_;
}

std::optional<std::uint32_t> MemoryImage::highest() const noexcept {
    if (bytesLoaded_ == 0) {
        return std::nullopt;
    }
    return highest_;
}

std::vector<std::uint8_t> MemoryImage::takeMemory() {
    bytes_.resize(size_, kErased);
    std::vector<std::uint8_t> out = std::move(bytes_);
    size_ = 0;
    bytes_.clear();
    loaded_.clear();
    loaded_.shrink_to_fit();
    bytesLoaded_ = 0;
    lowest_ = UINT32_MAX;
    highest_ = 0;
    return out;
}

std::vector<AddressRange> MemoryImage::loadedRanges() const {
    std::vector<AddressRange> ranges;
    bool inRange = false;
    std::uint32_t start = 0; // of the range being walked
    for (std::size_t w = 0; w < loaded_.size(); ++w) {
        std::uint64_t word = loaded_[w];
        // Whole words alike are the common case: skip them at once.
        if (word == (inRange ? ~std::uint64_t{0} : 0)) {
            continue;
        }
        for (std::uint32_t bit = 0; bit < 64; ++bit, word >>= 1) {
            const auto address = static_cast<std::uint32_t>(w * 64 + bit);
            if ((word & 1U) != 0 && !inRange) {
                start = address;
                inRange = true;
            } else if ((word & 1U) == 0 && inRange) {
                ranges.push_back({start, address - 1});
                inRange = false;
            }
        }
    }
    if (inRange) {
        ranges.push_back({start, highest_});
    }
    return ranges;
}

} // namespace vanter::images
