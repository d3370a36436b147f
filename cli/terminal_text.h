#pragma once

// Text on its way to the terminal. Much of what vanter3-cli prints comes from files (values,
// file names, the readers' reasons) or from its command line, and a terminal obeys the control
// sequences in what it is given: a configuration could retitle the window or worse, and a
// bidirectional control could make one name look like another.

#include <cstddef>
#include <string>
#include <string_view>

namespace vanter::cli {

// `text` as it may reach the terminal, unambiguously: written as \xNN (each of their bytes)
// are every byte that is not text, every character that acts on a terminal rather than showing
// (actsOnTerminal) but the line feed, which ends the program's own lines, and a backslash
// followed by an x, so that \xNN is always an escape (the four characters \x1b show as
// \x5cx1b). Text is in the system's 8-bit code page (nativeCharacter).
std::string terminalText(std::string_view text);

// The same for a text that is one line (a message naming a file given on the command line):
// a line feed in it is escaped too.
std::string terminalLine(std::string_view text);

// One character of text in the system's 8-bit code page: UTF-8, and on Windows the ANSI code
// page. Its length in bytes, 0 when the byte at text[i] starts no valid character (overlong
// forms, surrogates and values past U+10FFFF included), and its Unicode value.
struct NativeCharacter {
    std::size_t length = 0;
    char32_t value = 0;
};
NativeCharacter nativeCharacter(std::string_view text, std::size_t i);

// Whether a character acts on a terminal rather than showing: the C0 and C1 controls, DEL,
// the format characters (Unicode category Cf, the bidirectional controls such as U+202E among
// them) and the line and paragraph separators.
bool actsOnTerminal(char32_t value);

// A text of the 8-bit code page in UTF-8, for JSON. `exact` tells whether every byte was part
// of a valid character; the others are passed on unchanged.
struct Utf8Text {
    std::string text;
    bool exact = true;
};
Utf8Text utf8FromNative(std::string_view text);

// Length of the UTF-8 sequence at `text[i]`, or 0 when it is not a valid one (overlong forms,
// surrogates and values past U+10FFFF included).
std::size_t utf8Length(std::string_view text, std::size_t i);

// The UTF-8 character at text[i], as nativeCharacter reads it where the code page is UTF-8.
NativeCharacter utf8Character(std::string_view text, std::size_t i);

// `value` in UTF-8.
std::string utf8(char32_t value);

} // namespace vanter::cli
