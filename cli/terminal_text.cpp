#include "terminal_text.h"

#include <cstdint>
#include <cstdio>
#include <iterator>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace vanter::cli {

namespace {

void appendEscaped(std::string& out, unsigned char byte) {
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02x", byte);
    out += text;
}

// The value of the valid UTF-8 sequence of `length` bytes at text[i].
char32_t utf8Value(std::string_view text, std::size_t i, std::size_t length) {
    const auto lead = static_cast<unsigned char>(text[i]);
    char32_t value = length == 1 ? lead : lead & (0x7Fu >> length);
    for (std::size_t n = 1; n < length; ++n) {
        value = (value << 6) | (static_cast<unsigned char>(text[i + n]) & 0x3Fu);
    }
    return value;
}

// Unicode's format characters (category Cf).
constexpr struct {
    char32_t first, last;
} kFormatCharacters[] = {
    {0x00AD, 0x00AD},   {0x0600, 0x0605},   {0x061C, 0x061C},   {0x06DD, 0x06DD},
    {0x070F, 0x070F},   {0x0890, 0x0891},   {0x08E2, 0x08E2},   {0x180E, 0x180E},
    {0x200B, 0x200F},   {0x202A, 0x202E},   {0x2060, 0x2064},   {0x2066, 0x206F},
    {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB},   {0x110BD, 0x110BD}, {0x110CD, 0x110CD},
    {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0001, 0xE0001},
    {0xE0020, 0xE007F},
};

std::string escaped(std::string_view text, bool keepLineFeeds) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        // Only a backslash before an x could be read as an escape; Windows paths keep theirs.
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'x') {
            appendEscaped(out, '\\');
            ++i;
            continue;
        }
        if (text[i] == '\n' && keepLineFeeds) {
            out += '\n';
            ++i;
            continue;
        }
        const NativeCharacter c = nativeCharacter(text, i);
        if (c.length == 0) {
            appendEscaped(out, static_cast<unsigned char>(text[i]));
            ++i;
            continue;
        }
        if (actsOnTerminal(c.value)) {
            for (std::size_t n = 0; n < c.length; ++n) {
                appendEscaped(out, static_cast<unsigned char>(text[i + n]));
            }
        } else {
            out.append(text.substr(i, c.length));
        }
        i += c.length;
    }
    return out;
}

} // namespace

std::size_t utf8Length(std::string_view text, std::size_t i) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    char32_t smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        smallest = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (std::size_t n = 1; n < length; ++n) {
        if ((static_cast<unsigned char>(text[i + n]) & 0xC0u) != 0x80u) {
            return 0;
        }
    }
    const char32_t value = utf8Value(text, i, length);
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return 0;
    }
    return length;
}

NativeCharacter utf8Character(std::string_view text, std::size_t i) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
        return {1, static_cast<unsigned char>(text[i])};
    }
    const std::size_t length = utf8Length(text, i);
    return length == 0 ? NativeCharacter{} : NativeCharacter{length, utf8Value(text, i, length)};
}

#ifdef _WIN32

// The ANSI code page, one or two bytes a character; or UTF-8 where that is the code page.
NativeCharacter nativeCharacter(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80 || GetACP() == CP_UTF8) {
        return utf8Character(text, i);
    }
    const std::size_t length = IsDBCSLeadByteEx(CP_ACP, lead) ? 2 : 1;
    wchar_t wide[2];
    if (i + length > text.size() ||
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data() + i, int(length), wide, 2) !=
            1) {
        return {};
    }
    return {length, static_cast<char32_t>(wide[0])};
}

#else

NativeCharacter nativeCharacter(std::string_view text, std::size_t i) {
    return utf8Character(text, i);
}

#endif

bool actsOnTerminal(char32_t value) {
    if (value < 0x20 || (value >= 0x7F && value <= 0x9F) || value == 0x2028 || value == 0x2029) {
        return true;
    }
    for (const auto& range : kFormatCharacters) {
        if (value >= range.first && value <= range.last) {
            return true;
        }
    }
    return false;
}

std::string utf8(char32_t value) {
    std::string out;
    if (value < 0x80) {
        out += static_cast<char>(value);
    } else if (value < 0x800) {
        out += static_cast<char>(0xC0 | (value >> 6));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else if (value < 0x10000) {
        out += static_cast<char>(0xE0 | (value >> 12));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (value >> 18));
        out += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    }
    return out;
}

Utf8Text utf8FromNative(std::string_view text) {
    Utf8Text out;
    out.text.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const NativeCharacter c = nativeCharacter(text, i);
        if (c.length == 0) {
            out.text += text[i];
            out.exact = false;
            ++i;
            continue;
        }
        out.text += utf8(c.value);
        i += c.length;
    }
    return out;
}

std::string terminalText(std::string_view text) {
    return escaped(text, true);
}

std::string terminalLine(std::string_view text) {
    return escaped(text, false);
}

} // namespace vanter::cli
