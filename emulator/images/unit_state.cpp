#include "unit_state.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "config/atomic_file.h"
#include "config/errors.h"
#include "crc32.h"
#include "image_error.h"
#include "image_reader.h"
#include "parts.h"

namespace vanter::images {

namespace fs = std::filesystem;

UnitMemory loadUnit(const UnitLoad& unit) {
    // The script reader has refused other codes already.
    const auto part = partForCode(unit.memoryType);
    const auto format = formatForCode(unit.fileFormat);
    if (!part || !format) {
        throw std::invalid_argument("memory type or file format code out of range");
    }
    LoadedImage image = loadImageFile(unit.fileName, *format, unit.offset, part->size);
    UnitMemory result;
    result.load = unit;
    result.bytesLoaded = image.memory.bytesLoaded();
    result.lowest = image.memory.lowest();
    result.highest = image.memory.highest();
    result.bytes = image.memory.takeMemory();
    result.crc = crc32(result.bytes);
    result.warnings = std::move(image.notes.warnings);
    return result;
}

std::vector<UnitMemory> loadChain(std::span<const UnitLoad> units) {
    std::vector<UnitMemory> memories;
    memories.reserve(units.size());
    for (const UnitLoad& unit : units) {
        memories.push_back(loadUnit(unit));
    }
    return memories;
}

fs::path stateFolder() {
    if (const char* folder = std::getenv("VANTER_SIM_STATE_DIR"); folder && *folder) {
        return folder;
    }
#ifdef _WIN32
    if (const char* local = std::getenv("LOCALAPPDATA"); local && *local) {
        return fs::path(local) / "vanter3-sim";
    }
    return fs::temp_directory_path() / "vanter3-sim";
#else
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache == '/') {
        return fs::path(cache) / "vanter3-sim";
    }
    if (const char* home = std::getenv("HOME"); home && *home) {
        return fs::path(home) / ".cache" / "vanter3-sim";
    }
    return fs::temp_directory_path() / "vanter3-sim";
#endif
}

fs::path unitMemoryPath(const fs::path& folder, int slot) {
    return folder / ("unit" + std::to_string(slot) + ".bin");
}

fs::path unitManifestPath(const fs::path& folder, int slot) {
    return folder / ("unit" + std::to_string(slot) + ".manifest");
}

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
         << "memory: " << unitMemoryPath({}, unit.load.slot).string() << '\n';
    return text.str();
}

void writeUnitMemories(const fs::path& folder, std::span<const UnitMemory> units) {
    std::vector<std::pair<fs::path, fs::path>> staged; // written, target
    try {
        fs::create_directories(folder);
        for (const UnitMemory& unit : units) {
            const std::string text = manifestText(unit);
            for (const auto& [target, bytes] :
                 {std::pair{unitMemoryPath(folder, unit.load.slot),
                            std::string_view(reinterpret_cast<const char*>(unit.bytes.data()),
                                             unit.bytes.size())},
                  std::pair{unitManifestPath(folder, unit.load.slot), std::string_view(text)}}) {
                fs::path next = target;
                next += ".new";
                writeFileAtomically(next, bytes);
                staged.emplace_back(std::move(next), target);
            }
        }
        for (const auto& [next, target] : staged) {
            fs::rename(next, target);
        }
    } catch (const std::exception& e) {
        for (const auto& [next, target] : staged) {
            std::error_code ignored;
            fs::remove(next, ignored);
        }
        throw ImageError(LoadFailure::stateNotWritten, folder.string(), 0, e.what());
    }
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
    std::ifstream in(unitManifestPath(folder, slot));
    if (!in) {
        return std::nullopt;
    }
    UnitManifest manifest;
    manifest.slot = slot;
    bool any = false;
    std::string line;
    while (std::getline(in, line)) {
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

} // namespace vanter::images
