#pragma once

// The memory of one emulated part while an image is loaded into it: one byte for each address
// 0 to size - 1, erased (0xFF) until the image puts data there. It knows nothing of file
// formats; readers place their records in it. Beside the bytes it keeps one bit per address
// telling whether that address was loaded, so that a second record for an address must bring
// the same value (the same byte twice is fine; a different one is a contradiction).
//
// Only the addresses up to the highest one loaded are stored; those above are erased without
// being written until the whole memory is asked for, so that a small image, or a failed load,
// in a large part touches little memory.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vanter::images {

// Addresses first to last, both included.
struct AddressRange {
    std::uint32_t first;
    std::uint32_t last;

    bool operator==(const AddressRange&) const = default;
};

class MemoryImage {
public:
    static constexpr std::uint8_t kErased = 0xFF;

    explicit MemoryImage(std::uint32_t size);

    std::uint32_t size() const noexcept { return size_; }

    // A byte that an image tried to load over a different one already there.
    struct Conflict {
        std::uint32_t address;
        std::uint8_t loaded; // the value already there
        std::uint8_t offered;
    };

    // Loads `data` at addresses `address` on. The whole run must lie inside the memory (the
    // caller checks). On a contradiction nothing of the run is stored and the first
    // contradictory byte is returned.
    std::optional<Conflict> put(std::uint32_t address, std::span<const std::uint8_t> data);

    bool isLoaded(std::uint32_t address) const noexcept {
        return address / 64 < loaded_.size() && ((loaded_[address / 64] >> (address % 64)) & 1U);
    }
    std::uint8_t at(std::uint32_t address) const noexcept {
        return address < bytes_.size() ? bytes_[address] : kErased;
    }

    // Distinct addresses loaded so far.
    std::uint64_t bytesLoaded() const noexcept { return bytesLoaded_; }
    // Lowest and highest address loaded; nullopt while nothing is.
    std::optional<std::uint32_t> lowest() const noexcept;
    std::optional<std::uint32_t> highest() const noexcept;
    // The loaded addresses, merged into ranges, in ascending order.
    std::vector<AddressRange> loadedRanges() const;

    // The whole memory: loaded bytes, 0xFF everywhere else. The first call writes the erased
    // bytes above the highest address loaded, so it must not race another one.
    std::span<const std::uint8_t> memory() const;

    // Hands the whole memory over and releases the rest; the image is empty afterwards.
    std::vector<std::uint8_t> takeMemory();

private:
    bool anyLoaded(std::uint32_t first, std::uint32_t count) const noexcept;
    // Sets the bits of [first, first + count); with countNew, returns how many were clear.
    std::uint64_t markLoaded(std::uint32_t first, std::uint32_t count, bool countNew) noexcept;

    // Grows the bytes and the bits to cover [0, end): new bytes erased, new bits clear.
    void cover(std::uint32_t end);

    std::uint32_t size_;
    // Addresses from 0 up; every address above is erased. Once memory() has handed out a view,
    // it is whole and grows no more.
    mutable std::vector<std::uint8_t> bytes_;
    std::vector<std::uint64_t> loaded_; // one bit per address up to the highest loaded
    std::uint64_t bytesLoaded_ = 0;
    std::uint32_t lowest_ = UINT32_MAX;
    std::uint32_t highest_ = 0;
};

} // namespace vanter::images
