#include "unit_state.h"

#include <cstdlib>
#include <future>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "emulator/image_file.h"
#include "emulator/images/checksums.h"
#include "emulator/images/image_reader.h"
#include "fs/atomic_file.h"
#include "fs/native_name.h"
#include "fs/regular_file.h"
#include "parts/parts.h"
#include "result_codes.h"
#include "text/hex.h"

namespace vanter::standin {

namespace fs = std::filesystem;
using parts::formatForCode;
using parts::partForCode;
using text::hexText;

UnitMemory loadUnit(const UnitRecord& unit) {
    // The script reader has refused other codes already.
    const auto part = partForCode(unit.memoryType);
    const auto format = formatForCode(unit.fileFormat);
    if (!part || !format) {
        throw std::invalid_argument("memory type or file format code out of range");
    }
    images::LoadedImage image =
        loadImageFile(pathFromNativeName(unit.fileName), *format, unit.offset, part->size);
    UnitMemory result;
    result.load = unit;
    result.bytesLoaded = image.memory.bytesLoaded();
    result.lowest = image.memory.lowest();
    result.highest = image.memory.highest();
    result.bytes = image.memory.takeMemory();
    result.crc = images::crc32(result.bytes);
    result.sum = images::byteSum(result.bytes);
    result.warnings = std::move(image.notes.warnings);
    return result;
}

std::vector<UnitMemory> loadChain(std::span<const UnitRecord> units) {
    std::vector<UnitMemory> memories;
    memories.reserve(units.size());
    for (const UnitRecord& unit : units) {
        memories.push_back(loadUnit(unit));
    }
    return memories;
}

fs::path stateFolder() {
    if (const char* folder = std::getenv("VANTER_SIM_STATE_DIR"); folder && *folder) {
        return pathFromNativeName(folder);
    }
#ifdef _WIN32
    if (const char* local = std::getenv("LOCALAPPDATA"); local && *local) {
        return pathFromNativeName(local) / "vanter3-sim";
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
         << "byte sum: " << hexText(unit.sum) << '\n'
         << "memory: " << unitMemoryPath({}, unit.load.slot).string() << '\n';
    return text.str();
}

namespace {

fs::path staged(fs::path target) {
    target += ".new";
    return target;
}

// Writes a unit's memory and manifest beside their targets, each complete and flushed.
void stageUnit(const fs::path& folder, const UnitMemory& unit) {
    const int slot = unit.load.slot;
    writeFileAtomically(
        staged(unitMemoryPath(folder, slot)),
        std::string_view(reinterpret_cast<const char*>(unit.bytes.data()), unit.bytes.size()));
    writeFileAtomically(staged(unitManifestPath(folder, slot)), manifestText(unit));
}

void commitStaged(const fs::path& folder, std::span<const UnitMemory> units) {
    for (const UnitMemory& unit : units) {
        for (const fs::path& target :
             {unitMemoryPath(folder, unit.load.slot), unitManifestPath(folder, unit.load.slot)}) {
            fs::rename(staged(target), target);
        }
    }
}

void discardStaged(const fs::path& folder, std::span<const UnitMemory> units) noexcept {
    for (const UnitMemory& unit : units) {
        std::error_code ignored;
        fs::remove(staged(unitMemoryPath(folder, unit.load.slot)), ignored);
        fs::remove(staged(unitManifestPath(folder, unit.load.slot)), ignored);
    }
}

[[noreturn]] void notWritten(const fs::path& folder, const std::exception& e) {
    throw ChainError(folder, e.what());
}

} // namespace

ChainError::ChainError(int slot, const images::ImageError& error)
    : std::runtime_error(error.what()), slot_(slot), failure_(error.failure()), file_(error.file()),
      line_(error.line()), reason_(error.reason()) {}

ChainError::ChainError(const fs::path& folder, const std::string& reason)
    : std::runtime_error(nativeName(folder) + ": " + reason), slot_(-1), file_(nativeName(folder)),
      reason_(reason) {}

std::int32_t ChainError::code() const noexcept {
    return failure_ ? resultCode(*failure_) : kStateNotWritten;
}

void writeUnitMemories(const fs::path& folder, std::span<const UnitMemory> units) {
    try {
        fs::create_directories(folder);
        for (const UnitMemory& unit : units) {
            stageUnit(folder, unit);
        }
        commitStaged(folder, units);
    } catch (const std::exception& e) {
        discardStaged(folder, units);
        notWritten(folder, e);
    }
}

std::vector<UnitMemory> downloadChain(std::span<const UnitRecord> units, const fs::path& folder) {
    std::vector<UnitMemory> memories;
    memories.reserve(units.size()); // the stagings refer to the elements
    // Each loaded unit is staged while the next one loads. The stagings run one after the
    // other (each waits for the one before), never two at a time.
    std::future<void> staging;
    try {
        for (const UnitRecord& unit : units) {
            try {
                memories.push_back(loadUnit(unit));
            } catch (const images::ImageError& e) {
                throw ChainError(unit.slot, e);
            }
            const UnitMemory& loaded = memories.back();
            staging = std::async(std::launch::async,
                                 [before = std::move(staging), &folder, &loaded]() mutable {
                                     if (before.valid()) {
                                         before.get();
                                     }
                                     try {
                                         fs::create_directories(folder);
                                         stageUnit(folder, loaded);
                                     } catch (const std::exception& e) {
                                         notWritten(folder, e);
                                     }
                                 });
        }
        if (staging.valid()) {
            staging.get();
        }
        try {
            commitStaged(folder, memories);
        } catch (const std::exception& e) {
            notWritten(folder, e);
        }
    } catch (...) {
        if (staging.valid()) {
            staging.wait();
        }
        discardStaged(folder, memories);
        throw;
    }
    return memories;
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

} // namespace vanter::standin
