#include "manifest.h"

#include <cstdlib>
#include <sstream>

#include "chain_error.h"
#include "fs/regular_file.h"
#include "parts/parts.h"
#include "state_folder.h"
#include "text/hex.h"

namespace vanter::standin {

namespace fs = std::filesystem;
using parts::formatForCode;
using parts::partForCode;
using text::hexText;

namespace {

std::string addressText(const std::optional<std::uint32_t>& address) {
    return address ? hexText(*address) : std::string("none");
}

} // namespace

std::string manifestText(const UnitMemory& unit) {
    const auto part = partForCode(unit.load.memoryType);
    const auto format = formatForCode(unit.load.fileFormat);
    std::ostringstream text;
    text << "slot: " << unit.load.slot << '\n'
         << "memory type: " << (part ? part->name : "?") << " (code " << unit.load.memoryType
         << ", " << unit.bytes.size() << " bytes)\n"
         << "format: " << (format ? formatName(*format) : "?") << " (code " << unit.load.fileFormat
         << ")\n"
         << "source file: " << unit.load.fileName << '\n'
         << "offset: " << hexText(unit.load.offset) << '\n'
         << "bytes loaded: " << unit.bytesLoaded << '\n'
         << "lowest address: " << addressText(unit.lowest) << '\n'
         << "highest address: " << addressText(unit.highest) << '\n'
         << "crc-32: " << hexText(unit.crc) << '\n'
         << "byte sum: " << hexText(unit.sum) << '\n'
         << "memory: " << unitMemoryPath({}, unit.load.slot).string() << '\n';
    return text.str();
}

namespace {

// The number after "(code " in a manifest value.
int codeIn(const std::string& value) {
    const auto at = value.find("(code ");
    return at == std::string::npos ? 0 : std::atoi(value.c_str() + at + 6);
}

std::optional<std::uint32_t> addressIn(const std::string& value) {
    if (value == "none") {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(std::strtoul(value.c_str(), nullptr, 16));
}

} // namespace

std::optional<UnitManifest> readUnitManifest(const fs::path& folder, int slot) {
    const fs::path path = unitManifestPath(folder, slot);
    RegularFile file(path);
    if (file.status() == RegularFile::Status::missing) {
        return std::nullopt;
    }
    // Anything else is refused unread, never waited for: a named pipe, a device, a folder.
    if (!file.isOpen()) {
        throw ChainError(path, file.problem());
    }
    std::string text;
    if (!file.readAll(text, kMaxManifestSize)) {
        throw ChainError(path, file.reason());
    }
    if (text.size() > kMaxManifestSize) {
        throw ChainError(path, "larger than " + std::to_string(kMaxManifestSize / 1024) +
                                   " KiB, not a manifest");
    }
    UnitManifest manifest;
    manifest.slot = slot;
    bool any = false;
    std::istringstream in(std::move(text));
    std::string line;
    while (std::getline(in, line)) {
        if (line.ends_with('\r')) {
            line.pop_back();
        }
        const auto colon = line.find(": ");
        if (colon == std::string::npos) {
            continue;
        }
        const std::string key = line.substr(0, colon);
        const std::string value = line.substr(colon + 2);
        if (key == "memory type") {
            manifest.memoryType = codeIn(value);
            any = true;
        } else if (key == "format") {
            manifest.fileFormat = codeIn(value);
        } else if (key == "source file") {
            manifest.sourceFile = value;
        } else if (key == "offset") {
            manifest.offset = static_cast<std::uint32_t>(std::strtoul(value.c_str(), nullptr, 16));
        } else if (key == "bytes loaded") {
            manifest.bytesLoaded = std::strtoull(value.c_str(), nullptr, 10);
        } else if (key == "lowest address") {
            manifest.lowest = addressIn(value);
        } else if (key == "highest address") {
            manifest.highest = addressIn(value);
        } else if (key == "crc-32") {
            manifest.crc = static_cast<std::uint32_t>(std::strtoul(value.c_str(), nullptr, 16));
        }
    }
    if (!any) {
        return std::nullopt;
    }
    return manifest;
}

Verdict heldMemoryType(const std::filesystem::path& stateFolder, int slot, int& held) {
    held = 0;
    try {
        if (const auto manifest = readUnitManifest(stateFolder, slot)) {
            held = manifest->memoryType;
        }
    } catch (const ChainError& e) {
        return {e.code(), "unit #" + std::to_string(slot) + ": state unreadable: " + e.what()};
    }
    return {};
}

} // namespace vanter::standin
