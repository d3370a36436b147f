#include "unit_loader.h"

#include "emulator/images/image_error.h"
#include "emulator/images/unit_state.h"

namespace vanter::standin {

namespace images = vanter::images;

Verdict loadUnits(const std::vector<UnitRecord>& units, const std::filesystem::path& stateFolder,
                  std::vector<std::string>& notes) {
    std::vector<images::UnitMemory> memories;
    memories.reserve(units.size());
    for (const UnitRecord& unit : units) {
        const std::string who = "unit #" + std::to_string(unit.slot) + ": ";
        try {
            memories.push_back(images::loadUnit(
                {unit.slot, unit.memoryType, unit.fileFormat, unit.offset, unit.fileName}));
        } catch (const images::ImageError& e) {
            std::string where = e.file();
            if (e.line() != 0)
                where += ": line " + std::to_string(e.line());
            return {e.code(),
                    who + where + ": " + std::string(failureName(e.failure())) + ": " + e.reason()};
        }
        for (const std::string& warning : memories.back().warnings)
            notes.push_back(who + warning);
    }
    try {
        images::writeUnitMemories(stateFolder, memories);
    } catch (const images::ImageError& e) {
        return {e.code(), "unit memories not written: " + std::string(e.what())};
    }
    notes.push_back("unit memories in " + stateFolder.string());
    return {};
}

int heldMemoryType(const std::filesystem::path& stateFolder, int slot) {
    const auto manifest = images::readUnitManifest(stateFolder, slot);
    return manifest ? manifest->memoryType : 0;
}

} // namespace vanter::standin
