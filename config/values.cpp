#include "config/values.h"

#include <algorithm>

namespace vanter {

namespace {

// ASCII only: the entries are plain ASCII, and the result must not depend on the locale.
constexpr char foldCase(char c) noexcept {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) noexcept {
    return std::ranges::equal(a, b, [](char x, char y) { return foldCase(x) == foldCase(y); });
}

} // namespace

int listPosition(std::span<const std::string_view> entries, std::string_view text) noexcept {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (equalIgnoringCase(entries[i], text)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace vanter
