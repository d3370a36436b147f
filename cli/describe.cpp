#include "describe.h"

#include <cstdint>
#include <cstdio>
#include <optional>

#include "config/errors.h"
#include "config/numbers.h"
#include "config/values.h"
#include "parts/parts.h"
#include "terminal_text.h"
#include "text/hex.h"

namespace vanter::cli {

namespace {

template <std::size_t N>
std::optional<std::string_view> entry(const std::array<std::string_view, N>& list, int position) {
    if (position < 0 || position >= static_cast<int>(N)) {
        return std::nullopt;
    }
    return list[static_cast<std::size_t>(position)];
}

std::optional<std::int32_t> portNumberOf(const Configuration& config) {
    try {
        return portNumber(config.port);
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

// The window's label for the offset: it follows the format list's text.
std::string_view offsetLabel(int fileFormat) {
    return fileFormat == kBinaryFormat ? "Loading offset at EPROM socket"
                                       : "Target System address of EPROM";
}

std::string portLine(const Configuration& config) {
    if (config.port.empty()) {
        return "Port: none";
    }
    const std::optional<std::int32_t> number = portNumberOf(config);
    if (!number) {
        return "Port: " + config.port + " ('" + config.port + "' is not a valid integer value)";
    }
    const bool typed = listPosition(kPortEntries, config.port) < 0;
    return "Port: " + config.port + " (" + (typed ? "typed, " : "") + "port number " +
           std::to_string(*number) + ")";
}

std::string slotLines(int k, const SlotSettings& slot) {
    std::string text = "VANTER #" + std::to_string(k) + ": ";
    const auto memory = entry(kMemoryTypes, slot.memoryType);
    text += memory ? std::string(*memory) : std::string("no memory type");
    text += ", ";
    const auto format = entry(kFileFormats, slot.fileFormat);
    text += format ? std::string(*format) : std::string("no file format");
    text += "\n  ";
    text += offsetLabel(slot.fileFormat);
    text += ": " + text::toHex(offsetValue(slot.offset));
    if (!isAcceptableOffset(slot.offset)) {
        text += " (read from the text '" + slot.offset + "')";
    }
    text += "\n  Image file: ";
    text += slot.fileName.empty() ? std::string("none named") : slot.fileName;
    text += "\n";
    return text;
}

std::string unicodeEscape(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "\\u%04x", value);
    return text;
}

std::string jsonNumberOrNull(const std::optional<std::int64_t>& value) {
    return value ? std::to_string(*value) : std::string("null");
}

template <std::size_t N>
std::string jsonEntry(const std::array<std::string_view, N>& list, int position) {
    const auto name = entry(list, position);
    return name ? jsonString(*name) : std::string("null");
}

// A text of the configuration as a JSON field; when it is not valid text of the code page, a
// second field "<name>Bytes" gives its bytes in hexadecimal, so that nothing is lost.
std::string textField(std::string_view indent, std::string_view name, std::string_view value) {
    const Utf8Text text = utf8FromNative(value);
    std::string field =
        std::string(indent) + "\"" + std::string(name) + "\": " + jsonString(text.text);
    if (!text.exact) {
        field += ",\n" + std::string(indent) + "\"" + std::string(name) + "Bytes\": \"";
        for (const char ch : value) {
            char digits[4];
            std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(ch));
            field += digits;
        }
        field += "\"";
    }
    return field;
}

std::string slotJson(int k, const SlotSettings& slot) {
    const auto part = parts::partAt(slot.memoryType);
    const auto field = [](std::string_view name, const std::string& value) {
        return "      \"" + std::string(name) + "\": " + value;
    };
    std::string text = "    {\n";
    text += field("slot", std::to_string(k)) + ",\n";
    text += field("memoryType", jsonEntry(kMemoryTypes, slot.memoryType)) + ",\n";
    text += field("memoryTypeCode", std::to_string(parts::scriptCode(slot.memoryType))) + ",\n";
    text += field("partSize",
                  jsonNumberOrNull(part ? std::optional<std::int64_t>(part->size) : std::nullopt)) +
            ",\n";
    text += field("fileFormat", jsonEntry(kFileFormats, slot.fileFormat)) + ",\n";
    text += field("fileFormatCode", std::to_string(parts::scriptCode(slot.fileFormat))) + ",\n";
    text += textField("      ", "offset", slot.offset) + ",\n";
    text += field("offsetValue", std::to_string(offsetValue(slot.offset))) + ",\n";
    text += textField("      ", "fileName", slot.fileName) + "\n";
    text += "    }";
    return text;
}

} // namespace

std::string describeConfiguration(const Configuration& config) {
    std::string text = portLine(config) + "\n";
    const auto reset = entry(kResetEntries, config.resetLevel);
    text += "Reset level: " + (reset ? std::string(*reset) : std::string("none")) + "\n";
    bool any = false;
    for (int k = 0; k < kSlotCount; ++k) {
        const SlotSettings& slot = config.slots[static_cast<std::size_t>(k)];
        if (slot.enabled) {
            text += slotLines(k, slot);
            any = true;
        }
    }
    if (!any) {
        text += "No VANTER is enabled\n";
    }
    return text;
}

std::string configurationJson(const Configuration& config) {
    const std::optional<std::int32_t> number = portNumberOf(config);
    std::string text = "{\n";
    text += textField("  ", "port", config.port) + ",\n";
    text += "  \"portNumber\": " +
            jsonNumberOrNull(number ? std::optional<std::int64_t>(*number) : std::nullopt) + ",\n";
    text += "  \"resetLevel\": " + jsonEntry(kResetEntries, config.resetLevel) + ",\n";
    text += "  \"units\": [";
    bool first = true;
    for (int k = 0; k < kSlotCount; ++k) {
        const SlotSettings& slot = config.slots[static_cast<std::size_t>(k)];
        if (!slot.enabled) {
            continue;
        }
        text += first ? "\n" : ",\n";
        text += slotJson(k, slot);
        first = false;
    }
    text += first ? "]\n" : "\n  ]\n";
    text += "}\n";
    return text;
}

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto ch = static_cast<unsigned char>(text[i]);
        if (ch < 0x80) {
            switch (ch) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (ch < 0x20) {
                    out += unicodeEscape(ch);
                } else {
                    out += static_cast<char>(ch);
                }
            }
            ++i;
            continue;
        }
        const NativeCharacter c = utf8Character(text, i);
        if (c.length == 0) {
            out += unicodeEscape(ch);
            ++i;
            continue;
        }
        if (actsOnTerminal(c.value)) {
            // Valid JSON either way, but escaped no terminal acts on it.
            if (c.value > 0xFFFF) {
                out += unicodeEscape(0xD800 + ((c.value - 0x10000) >> 10));
                out += unicodeEscape(0xDC00 + ((c.value - 0x10000) & 0x3FF));
            } else {
                out += unicodeEscape(c.value);
            }
        } else {
            out.append(text.substr(i, c.length));
        }
        i += c.length;
    }
    out += "\"";
    return out;
}

} // namespace vanter::cli
