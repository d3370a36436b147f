#pragma once

// Input made while it is read: a head, a unit repeated `count` times (or forever), a tail. Long
// or endless input for readers that must stop early, without holding it in memory.

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <utility>

namespace vanter::testing {

class GeneratedBytes {
public:
    static constexpr std::uint64_t kForever = UINT64_MAX;

    GeneratedBytes(std::string head, std::string unit, std::uint64_t count, std::string tail)
        : head_(std::move(head)), unit_(std::move(unit)), count_(count), tail_(std::move(tail)) {}

    // Fills `buffer` with the next bytes; fewer only at the end.
    std::size_t read(std::span<char> buffer) {
        std::size_t filled = 0;
        while (filled < buffer.size()) {
            const std::string* part = nullptr;
            if (phase_ == 0) {
                part = &head_;
            } else if (phase_ == 1 && !unit_.empty() && repeated_ < count_) {
                part = &unit_;
            } else if (phase_ == 1) {
                phase_ = 2;
                at_ = 0;
                continue;
            } else if (phase_ == 2) {
                part = &tail_;
            } else {
                break;
            }
            const std::size_t n = std::min(buffer.size() - filled, part->size() - at_);
            std::copy_n(part->data() + at_, n, buffer.data() + filled);
            filled += n;
            at_ += n;
            if (at_ == part->size()) {
                at_ = 0;
                if (phase_ == 1) {
                    ++repeated_;
                } else {
                    ++phase_;
                }
            }
        }
        produced_ += filled;
        return filled;
    }

    // Bytes made so far.
    std::uint64_t produced() const noexcept { return produced_; }

private:
    std::string head_;
    std::string unit_;
    std::uint64_t count_;
    std::string tail_;
    int phase_ = 0; // head, units, tail, end
    std::size_t at_ = 0;
    std::uint64_t repeated_ = 0;
    std::uint64_t produced_ = 0;
};

} // namespace vanter::testing
