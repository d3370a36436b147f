#pragma once

// Result codes of the stand-in driver library. 0, -1, 146, 153 and CheckVT's 256 and up mean
// what the maker's library means by them (emulator/driver_result_codes.h); the others are the
// stand-in's own failure codes. They lie from 0x40 to 0x4A (image loading) and from 0xE1 up, below
// 256, so that CheckVT reports them as configuration errors and the program shows them in
// hexadecimal ("Download Fail# 43", "Vanter#0 config error $e3"). Each code is listed once, below,
// with what it means; docs/standin-driver.md explains them to the user.

#include <cstdint>
#include <string>
#include <string_view>

#include "emulator/driver_result_codes.h"
#include "emulator/images/image_error.h"

namespace vanter::standin {

using driver_result::kNoPrinterDriver; // -1: printer-port driver missing (port 1-4, I/O address)
using driver_result::kOk;
using driver_result::kUnitNotFound; // 153: a unit the call names is absent
using driver_result::kUsbFailed;    // 146: the USB link failed to initialise (port 5)

// Script missing, unreadable, not a regular file, or its folder unsafe.
inline constexpr std::int32_t kScriptUnreadable = 0xE1;
// Missing or extra lines, no number where one belongs, a bad continuation line.
inline constexpr std::int32_t kScriptMalformed = 0xE2;
inline constexpr std::int32_t kBadPort = 0xE3;  // not 1 to 5 and not a printer-port I/O address
inline constexpr std::int32_t kBadReset = 0xE4; // not 0 or 1
inline constexpr std::int32_t kBadSlot = 0xE5;  // not 0 to 3, or a slot named twice in the script
inline constexpr std::int32_t kBadMemoryType = 0xE6; // names no part (script code or check type)
inline constexpr std::int32_t kBadFormat = 0xE7;     // names no format
inline constexpr std::int32_t kBadOffset = 0xE8;     // not 1 to 8 hexadecimal digits
inline constexpr std::int32_t kBadSimulationSetting = 0xEA; // a VANTER_SIM_ variable is malformed
inline constexpr std::int32_t kMemoryTypeMismatch = 0xEB;   // CheckVT: not the part the unit holds
inline constexpr std::int32_t kInternalFailure = 0xEF;      // the stand-in itself failed

// Image loading failures, 0x40 to 0x4A: those of the readers, then the unit memories that
// could not be written.
inline constexpr std::int32_t kFirstImageFailure = 0x40;
// Memories not written, or (CheckVT) a manifest unreadable.
inline constexpr std::int32_t kStateNotWritten = 0x4A;
inline constexpr std::int32_t kLastImageFailure = 0x4A;

// Each failure of the image readers with its result code and its name in the transcript.
struct ImageFailureCode {
    images::LoadFailure failure;
    std::int32_t code;
    std::string_view name;
};
inline constexpr ImageFailureCode kImageFailureCodes[] = {
    {images::LoadFailure::fileMissing, 0x40, "image file missing"},
    {images::LoadFailure::fileUnreadable, 0x41, "image file unreadable"},
    {images::LoadFailure::malformedRecord, 0x42, "malformed record"},
    {images::LoadFailure::badChecksum, 0x43, "bad checksum"},
    {images::LoadFailure::unknownRecordType, 0x44, "unknown record type"},
    {images::LoadFailure::recordCountMismatch, 0x45, "record count mismatch"},
    {images::LoadFailure::beforePartStart, 0x46, "data before the start of the part"},
    {images::LoadFailure::pastPartEnd, 0x47, "data past the end of the part"},
    {images::LoadFailure::contradictoryData, 0x48, "contradictory data"},
    {images::LoadFailure::imageTooLarge, 0x49, "image larger than the part"},
};

// The result code of an image that failed to load.
constexpr std::int32_t resultCode(images::LoadFailure failure) noexcept {
    for (const ImageFailureCode& entry : kImageFailureCodes) {
        if (entry.failure == failure) {
            return entry.code;
        }
    }
    return kInternalFailure;
}

// A short name of an image failure, as the transcript shows it ("bad checksum").
constexpr std::string_view failureName(images::LoadFailure failure) noexcept {
    for (const ImageFailureCode& entry : kImageFailureCodes) {
        if (entry.failure == failure) {
            return entry.name;
        }
    }
    return "load failure";
}

// CheckVT's result for a memory fault: 256 + the failing address.
using driver_result::kMemoryFaultBase;
using driver_result::memoryFault;

// A result with the reason the transcript gives for it (empty for success).
struct Verdict {
    std::int32_t code = kOk;
    std::string reason;

    bool ok() const noexcept { return code == kOk; }
};

} // namespace vanter::standin
