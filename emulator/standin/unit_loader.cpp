#include "unit_loader.h"

#include "emulator/images/image_error.h"
#include "emulator/images/unit_state.h"

namespace vanter::standin {

namespace images = vanter::images;

Verdict loadUnits(const std::vector<UnitRecord>& units, const std::filesystem::path& stateFolder,
                  std::vector<std::string>& notes) {
    std::vector<images::UnitLoad> loads;
    loads.reserve(units.size());
    for (const UnitRecord& unit : units)
        loads.push_back({unit.slot, unit.memoryType, unit.fileFormat, unit.offset, unit.fileName});
    try {
        for (const images::UnitMemory& memory : images::downloadChain(loads, stateFolder))
            for (const std::string& warning : memory.warnings)
                notes.push_back("unit #" + std::to_string(memory.load.slot) + ": " + warning);
    } catch (const images::ChainError& e) {
        if (e.slot() < 0)
            return {e.code(), "unit memories not written: " + std::string(e.what())};
        std::string where = e.file();
        if (e.line() != 0)
            where += ": line " + std::to_string(e.line());
        return {e.code(), "unit #" + std::to_string(e.slot()) + ": " + where + ": " +
                              std::string(failureName(e.failure())) + ": " + e.reason()};
    }
    notes.push_back("unit memories in " + stateFolder.string());
    return {};
}

int heldMemoryType(const std::filesystem::path& stateFolder, int slot) {
    const auto manifest = images::readUnitManifest(stateFolder, slot);
    return manifest ? manifest->memoryType : 0;
}

} // namespace vanter::standin
