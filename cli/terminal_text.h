#pragma once

// Text on its way to the terminal. Much of what vanter3-cli prints comes from files (values,
// file names, the readers' reasons), and a terminal obeys the control sequences in what it is
// given: a configuration could retitle the window or worse.

#include <cstddef>
#include <string>
#include <string_view>

namespace vanter::cli {

// `text` as it may reach the terminal: every control character but the line feed (which ends
// the program's own lines) is written as \xNN, and so is every byte that is not text: on
// Windows, where text is in the ANSI code page, none; elsewhere any byte that is not part of
// valid UTF-8.
std::string terminalText(std::string_view text);

// Length of the UTF-8 sequence at `text[i]`, or 0 when it is not a valid one (overlong forms,
// surrogates and values past U+10FFFF included).
std::size_t utf8Length(std::string_view text, std::size_t i);

// Whether `text[i]` starts one of the C1 controls U+0080 to U+009F in UTF-8 (C2 80 to C2 9F),
// which some terminals obey as they obey the escape character.
bool startsC1Control(std::string_view text, std::size_t i);

} // namespace vanter::cli
