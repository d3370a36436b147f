#pragma once

// Names of table-driven test cases as the test framework takes them: letters and digits, runs
// of anything else as one underscore.

#include <cctype>
#include <string>
#include <string_view>

namespace vanter::testing {

inline std::string testName(std::string_view description) {
    std::string name;
    for (const char ch : description) {
        if (std::isalnum(static_cast<unsigned char>(ch))) {
            name += ch;
        } else if (!name.empty() && name.back() != '_') {
            name += '_';
        }
    }
    return name;
}

} // namespace vanter::testing
