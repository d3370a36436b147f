#include "validate.h"

#include <algorithm>
#include <exception>

#include "config/errors.h"
#include "config/numbers.h"
#include "config/values.h"
#include "emulator/image_file.h"
#include "emulator/images/image_error.h"
#include "fs/native_name.h"
#include "parts/parts.h"
#include "text/hex.h"

namespace vanter::cli {

namespace {

std::string slotPrefix(int k) {
    return "VANTER #" + std::to_string(k) + ": ";
}

SlotFinding validateSlot(int k, const SlotSettings& slot) {
    SlotFinding finding{k, false, {}, {}, {}};
    const auto part = parts::partAt(slot.memoryType);
    const auto format = parts::formatAt(slot.fileFormat);
    if (!part) {
        finding.text = "no memory type selected";
        return finding;
    }
    if (!format) {
        finding.text = "no file format selected";
        return finding;
    }
    if (slot.fileName.empty()) {
        finding.text = "no image file named";
        return finding;
    }
    // The driver would get the scanned value of a text the window's offset check refuses;
    // whatever was meant, it is not what the file says.
    if (!isAcceptableOffset(slot.offset)) {
        finding.text = "the loading offset '" + slot.offset + "' is not a hexadecimal number";
        return finding;
    }
    const std::uint32_t offset = offsetValue(slot.offset);
    try {
        const images::LoadedImage image =
            loadImageFile(pathFromNativeName(slot.fileName), *format, offset, part->size);
        finding.warnings = image.notes.warnings;
        const images::MemoryImage& memory = image.memory;
        finding.ok = true;
        finding.text = slot.fileName + " fits the " + std::string(part->name) + " (" +
                       std::to_string(part->size) + " bytes): ";
        if (memory.bytesLoaded() == 0) {
            finding.text += "it holds no data";
        } else {
            finding.text += std::to_string(memory.bytesLoaded()) + " bytes at memory addresses " +
                            text::hexText(*memory.lowest()) + " to " +
                            text::hexText(*memory.highest());
        }
        finding.contents = UnitContents{std::string(part->name), part->size, memory.bytesLoaded(),
                                        memory.loadedRanges(), images::checksums(memory.memory())};
    } catch (const images::ImageError& error) {
        finding.text = error.message();
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& error) {
        finding.text = slot.fileName + ": " + error.what();
    }
    return finding;
}

} // namespace

std::string checksumText(const images::Checksums& checksums) {
    return "byte sum " + text::hexText(checksums.sum) + ", CRC-32 " + text::hexText(checksums.crc);
}

bool Validation::ok() const noexcept {
    return problems.empty() &&
           std::ranges::all_of(slots, [](const SlotFinding& slot) { return slot.ok; });
}

Validation validateConfiguration(const Configuration& config) {
    Validation validation;
    try {
        (void)portNumber(config.port);
    } catch (const ConversionError& error) {
        validation.problems.emplace_back(error.message());
    }
    for (int k = 0; k < kSlotCount; ++k) {
        const SlotSettings& slot = config.slots[static_cast<std::size_t>(k)];
        if (slot.enabled) {
            validation.slots.push_back(validateSlot(k, slot));
        }
    }
    return validation;
}

ValidationReport formatValidation(const Validation& validation) {
    ValidationReport report;
    for (const std::string& problem : validation.problems) {
        report.err += problem + "\n";
    }
    for (const SlotFinding& slot : validation.slots) {
        const std::string prefix = slotPrefix(slot.slot);
        (slot.ok ? report.out : report.err) += prefix + slot.text + "\n";
        if (slot.contents) {
            report.out += prefix +
                          "checksums of the whole part: " + checksumText(slot.contents->checksums) +
                          "\n";
        }
        for (const std::string& warning : slot.warnings) {
            report.out += prefix + "warning: " + warning + "\n";
        }
    }
    if (validation.ok()) {
        report.out += "Validation OK\n";
    } else {
        report.err += "Validation failed\n";
    }
    return report;
}

} // namespace vanter::cli
