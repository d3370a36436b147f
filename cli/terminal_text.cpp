#include "terminal_text.h"

#include <cstdint>
#include <cstdio>

namespace vanter::cli {

namespace {

void appendEscaped(std::string& out, unsigned char byte) {
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02x", byte);
    out += text;
}

} // namespace

std::size_t utf8Length(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t at) {
        return static_cast<unsigned char>(text[at]);
    };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    std::uint32_t value = 0;
    std::uint32_t smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1Fu;
        smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0Fu;
        smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07u;
        smallest = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (std::size_t n = 1; n < length; ++n) {
        if ((byte(i + n) & 0xC0u) != 0x80u) {
            return 0;
        }
        value = (value << 6) | (byte(i + n) & 0x3Fu);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return 0;
    }
    return length;
}

bool startsC1Control(std::string_view text, std::size_t i) {
    return i + 1 < text.size() && static_cast<unsigned char>(text[i]) == 0xC2 &&
           static_cast<unsigned char>(text[i + 1]) <= 0x9F;
}

std::string terminalText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto ch = static_cast<unsigned char>(text[i]);
        if (ch < 0x80) {
            if ((ch < 0x20 && ch != '\n') || ch == 0x7F) {
                appendEscaped(out, ch);
            } else {
                out += static_cast<char>(ch);
            }
            ++i;
            continue;
        }
#ifdef _WIN32
        out += static_cast<char>(ch);
        ++i;
#else
        const std::size_t length = utf8Length(text, i);
        if (length == 0 || startsC1Control(text, i)) {
            appendEscaped(out, ch);
            ++i;
            continue;
        }
        out.append(text.substr(i, length));
        i += length;
#endif
    }
    return out;
}

} // namespace vanter::cli
