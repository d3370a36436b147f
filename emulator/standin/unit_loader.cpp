#include "unit_loader.h"

#include "unit_state.h"

namespace vanter::standin {

std::string_view failureName(images::LoadFailure failure) noexcept {
    using images::LoadFailure;
    switch (failure) {
    case LoadFailure::fileMissing:
        return "image file missing";
    case LoadFailure::fileUnreadable:
        return "image file unreadable";
    case LoadFailure::malformedRecord:
        return "malformed record";
    case LoadFailure::badChecksum:
        return "bad checksum";
    case LoadFailure::unknownRecordType:
        return "unknown record type";
    case LoadFailure::recordCountMismatch:
        return "record count mismatch";
    case LoadFailure::beforePartStart:
        return "data before the start of the part";
    case LoadFailure::pastPartEnd:
        return "data past the end of the part";
    case LoadFailure::contradictoryData:
        return "contradictory data";
    case LoadFailure::imageTooLarge:
        return "image larger than the part";
    }
    return "load failure";
}

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
    notes.push_back("unit memories in " + stateFolder.string());
    return {};
}

int heldMemoryType(const std::filesystem::path& stateFolder, int slot) {
    const auto manifest = readUnitManifest(stateFolder, slot);
    return manifest ? manifest->memoryType : 0;
}

} // namespace vanter::standin
