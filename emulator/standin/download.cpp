#include "download.h"

#include <future>
#include <system_error>

#include "fs/atomic_file.h"
#include "fs/native_name.h"
#include "manifest.h"
#include "state_folder.h"

namespace vanter::standin {

namespace fs = std::filesystem;

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

std::vector<UnitMemory> downloadChain(std::span<const UnitRecord> units, const fs::path& folder) {
    std::vector<UnitMemory> memories;
    memories.reserve(units.size()); // the stagings refer to the elements
    // Each loaded unit is staged while the next one loads. The stagings run one after the
    // other (each waits for the one before), never two at a time.
    std::future<void> staging;
    try {
        for (const UnitRecord& unit : units) {
            try {
                memories.push_back(loadUnitMemory(unit));
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

Verdict verdictOfDownload(const std::vector<UnitRecord>& units,
                          const std::filesystem::path& stateFolder,
                          std::vector<std::string>& notes) {
    try {
        for (const UnitMemory& memory : downloadChain(units, stateFolder)) {
            for (const std::string& warning : memory.warnings) {
                notes.push_back("unit #" + std::to_string(memory.load.slot) + ": " + warning);
            }
        }
    } catch (const ChainError& e) {
        if (!e.failure()) {
            return {e.code(), "unit memories not written: " + std::string(e.what())};
        }
        std::string where = e.file();
        if (e.line() != 0) {
            where += ": line " + std::to_string(e.line());
        }
        return {e.code(), "unit #" + std::to_string(e.slot()) + ": " + where + ": " +
                              std::string(failureName(*e.failure())) + ": " + e.reason()};
    }
    notes.push_back("unit memories in " + nativeName(stateFolder));
    return {};
}

} // namespace vanter::standin
