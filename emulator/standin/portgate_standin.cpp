// The stand-in driver library: the two functions of the maker's library, simulated against a
// chain of units described by environment variables (chain.h). Every call is recorded in the
// transcript (transcript.h).

#include <filesystem>
#include <string>
#include <vector>

#include "chain.h"
#include "config/errors.h"
#include "config/numbers.h"
#include "download.h"
#include "emulator/portgate.h"
#include "emulator/script_path.h"
#include "fs/native_name.h"
#include "fs/regular_file.h"
#include "manifest.h"
#include "parts/parts.h"
#include "result_codes.h"
#include "script.h"
#include "state_folder.h"
#include "text/hex.h"
#include "transcript.h"

namespace vanter::standin {

namespace {

// The script is a few hundred bytes; anything past this is not one of ours.
constexpr std::size_t kMaxScriptSize = 1 << 20;

// Only a regular file is read, and never more than the limit: a named pipe would wait for a
// writer, a device might never end.
Verdict readScript(const std::filesystem::path& path, Script& script) {
    vanter::RegularFile file(path);
    if (!file.isOpen()) {
        return {kScriptUnreadable, "the download script can't be opened: " + file.problem()};
    }
    std::string text;
    if (!file.readAll(text, kMaxScriptSize)) {
        return {kScriptUnreadable, "the download script can't be read: " + file.reason()};
    }
    if (text.size() > kMaxScriptSize) {
        return {kScriptMalformed, "the download script is larger than 1 MiB"};
    }
    return parseScript(text, script);
}

Verdict download(const std::filesystem::path& path, std::vector<std::string>& notes) {
    Script script;
    if (Verdict v = readScript(path, script); !v.ok()) {
        return v;
    }
    Chain chain;
    if (Verdict v = readChain(chain); !v.ok()) {
        return v;
    }
    if (Verdict v = chain.link(script.port); !v.ok()) {
        return v;
    }
    for (const UnitRecord& unit : script.units) {
        if (Verdict v = chain.find(unit.slot); !v.ok()) {
            return v;
        }
    }
    return verdictOfDownload(script.units, stateFolder(), notes);
}

Verdict check(std::int32_t port, std::int32_t reset, std::int32_t memoryType, std::int32_t slot) {
    Chain chain;
    if (Verdict v = readChain(chain); !v.ok()) {
        return v;
    }
    if (!isValidPort(port)) {
        return {kBadPort, "port " + std::to_string(port) +
                              " is neither 1 to 5 nor a printer-port I/O address"};
    }
    if (reset != 0 && reset != 1) {
        return {kBadReset, "reset level " + std::to_string(reset) + " is not 0 or 1"};
    }
    const auto checkedPart = vanter::parts::partAt(vanter::parts::positionOfDriverType(memoryType));
    if (!checkedPart) {
        return {kBadMemoryType, "memory type " + std::to_string(memoryType) + " is not 0 to " +
                                    std::to_string(vanter::parts::kParts.size() - 1)};
    }
    if (slot < 0 || slot > 3) {
        return {kBadSlot, "slot " + std::to_string(slot) + " is not 0 to 3"};
    }
    if (Verdict v = chain.link(port); !v.ok()) {
        return v;
    }
    if (Verdict v = chain.find(slot); !v.ok()) {
        return v;
    }
    // A unit that holds an image was loaded for one part; checking it as another is a mistake
    // of the configuration, not of the unit.
    int held = 0;
    if (Verdict v = heldMemoryType(stateFolder(), slot, held); !v.ok()) {
        return v;
    }
    if (held != 0 &&
        vanter::parts::positionOfCode(held) != vanter::parts::positionOfDriverType(memoryType)) {
        const auto heldPart = vanter::parts::partForCode(held);
        return {kMemoryTypeMismatch, "unit #" + std::to_string(slot) + " holds an image for a " +
                                         std::string(heldPart ? heldPart->name : "?") +
                                         ", the check names a " + std::string(checkedPart->name)};
    }
    if (const auto address = chain.faultAddress[static_cast<std::size_t>(slot)]) {
        return {memoryFault(static_cast<std::int32_t>(*address)),
                "unit #" + std::to_string(slot) + " fails at address " +
                    vanter::text::toHex(*address) + " (VANTER_SIM_FAULT)"};
    }
    return {};
}

} // namespace

} // namespace vanter::standin

extern "C" {

PORTGATE_API int32_t PORTGATE_CALL SayHello(void) {
    using namespace vanter::standin;
    try {
        std::filesystem::path path;
        try {
            path = vanter::downloadScriptPath();
        } catch (const vanter::FileError& error) {
            record("SayHello() script=?", kScriptUnreadable, error.what());
            return kScriptUnreadable;
        }
        std::vector<std::string> notes;
        const Verdict verdict = download(path, notes);
        record("SayHello() script=" + vanter::nativeName(path), verdict.code, verdict.reason,
               notes);
        return verdict.code;
    } catch (...) {
        record("SayHello()", kInternalFailure, "unexpected failure inside the stand-in");
        return kInternalFailure;
    }
}

PORTGATE_API int32_t PORTGATE_CALL CheckVT(int32_t port, int32_t reset, int32_t memoryType,
                                           int32_t slot) {
    using namespace vanter::standin;
    try {
        const Verdict verdict = check(port, reset, memoryType, slot);
        record("CheckVT(" + std::to_string(port) + ", " + std::to_string(reset) + ", " +
                   std::to_string(memoryType) + ", " + std::to_string(slot) + ")",
               verdict.code, verdict.reason);
        return verdict.code;
    } catch (...) {
        record("CheckVT()", kInternalFailure, "unexpected failure inside the stand-in");
        return kInternalFailure;
    }
}

} // extern "C"
