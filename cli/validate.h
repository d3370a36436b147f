#pragma once

// validate: what the driver would find in the image files, found without the driver. Every
// enabled slot's image must exist, read in its format and fit its part at its offset.

#include <optional>
#include <string>
#include <vector>

#include "config/configuration.h"
#include "emulator/images/checksums.h"
#include "emulator/images/memory_image.h"

namespace vanter::cli {

// What a unit will hold: the whole part, erased (0xFF) where the image puts nothing.
struct UnitContents {
    std::string part;
    std::uint32_t size = 0;
    std::uint64_t bytesLoaded = 0;
    std::vector<images::AddressRange> ranges; // loaded, merged, in order
    images::Checksums checksums;
};

struct SlotFinding {
    int slot = 0;
    bool ok = false;
    std::string text;                     // what was found, or what is wrong (file, line, what)
    std::vector<std::string> warnings;    // oddities the reader tolerated
    std::optional<UnitContents> contents; // when ok
};

struct Validation {
    std::vector<std::string> problems; // of the configuration as a whole (the port)
    std::vector<SlotFinding> slots;    // each enabled slot, in order

    bool ok() const noexcept;
};

// Reads every enabled slot's image; never stops at the first problem. Image file names that
// are not absolute are taken from the working directory, as the driver library takes them.
Validation validateConfiguration(const Configuration& config);

// The report: each finding on its own line ("VANTER #0: ..."), good ones with their checksums
// and warnings for standard output, problems for standard error, and the closing verdict with
// them.
struct ValidationReport {
    std::string out;
    std::string err;
};
ValidationReport formatValidation(const Validation& validation);

// "byte sum 0x7f1e, CRC-32 0x2b3c4d5e".
std::string checksumText(const images::Checksums& checksums);

} // namespace vanter::cli
