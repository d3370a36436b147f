#include "unit_loader.h"

#include "fs/native_name.h"
#include "unit_state.h"

namespace vanter::standin {

Verdict loadUnits(const std::vector<UnitRecord>& units, const std::filesystem::path& stateFolder,
                  std::vector<std::string>& notes) {
    try {
        for (const UnitMemory& memory : downloadChain(units, stateFolder))
            for (const std::string& warning : memory.warnings)
                notes.push_back("unit #" + std::to_string(memory.load.slot) + ": " + warning);
    } catch (const ChainError& e) {
        if (!e.failure())
            return {e.code(), "unit memories not written: " + std::string(e.what())};
        std::string where = e.file();
        if (e.line() != 0)
            where += ": line " + std::to_string(e.line());
        return {e.code(), "unit #" + std::to_string(e.slot()) + ": " + where + ": " +
                              std::string(failureName(*e.failure())) + ": " + e.reason()};
    }
    notes.push_back("unit memories in " + nativeName(stateFolder));
    return {};
}

Verdict heldMemoryType(const std::filesystem::path& stateFolder, int slot, int& held) {
    held = 0;
    try {
        if (const auto manifest = readUnitManifest(stateFolder, slot))
            held = manifest->memoryType;
    } catch (const ChainError& e) {
        return {e.code(), "unit #" + std::to_string(slot) + ": state unreadable: " + e.what()};
    }
    return {};
}

} // namespace vanter::standin
