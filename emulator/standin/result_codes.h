#pragma once

// Result codes of the stand-in driver library. 0, -1, 146, 153 and CheckVT's 256 and up mean
// what the maker's library means by them (emulator/driver_result_codes.h); the others are the
// stand-in's own failure codes. They lie from 0x40 to 0x4A
// (image loading) and from 0xE1 up, below 256, so that CheckVT reports them as configuration
// errors and the program shows them in hexadecimal ("Download Fail# 43", "Vanter#0 config error
// $e3").
//
//  code          meaning
//  0             success / the unit passed
//  -1            the printer-port driver is not available (port 1-4 or an I/O address)
//  64   (0x40)   an image file is missing, or no file is named
//  65   (0x41)   an image file can't be read (a folder, no permission, a read error)
//  66   (0x42)   malformed record (syntax, length, field sizes)
//  67   (0x43)   bad checksum
//  68   (0x44)   unknown record type
//  69   (0x45)   an S5/S6 count differs from the data records before it
//  70   (0x46)   data before the start of the part
//  71   (0x47)   data past the end of the part
//  72   (0x48)   contradictory data at an address already loaded
//  73   (0x49)   image larger than the part
//  74   (0x4a)   the unit memories can't be written to the state folder, or (CheckVT) a
//                unit's manifest there can't be read (not a regular file, over its limit)
//  146  (0x92)   the USB link failed to initialise (port 5)
//  153  (0x99)   a unit that the call names is not present in the chain
//  225  (0xe1)   the download script can't be found or read, is not a regular file, or its
//                folder is unsafe
//  226  (0xe2)   the download script is malformed (missing or extra lines, text that is
//                not a number where one belongs, a continuation line other than Y or N)
//  227  (0xe3)   bad port: not 1 to 5 and not a printer-port I/O address
//  228  (0xe4)   bad reset level: not 0 or 1
//  229  (0xe5)   bad unit slot: not 0 to 3, or a slot named twice in the script
//  230  (0xe6)   bad memory type: script code not 1 to 15, check position not 0 to 14
//  231  (0xe7)   bad file format: not 1 to 3
//  232  (0xe8)   bad loading offset: not 1 to 8 hexadecimal digits
//  234  (0xea)   a VANTER_SIM_ environment variable is malformed
//  235  (0xeb)   CheckVT only: the memory type differs from the one the unit holds
//  239  (0xef)   internal failure of the stand-in
//  256 + a       CheckVT only: the unit's memory fails at address a
// The image codes 0x40 to 0x49 are those of the image readers' failures
// (vanter::images::LoadFailure, emulator/images/image_error.h), in kImageFailureCodes below.

#include <cstdint>
#include <string>
#include <string_view>

#include "emulator/driver_result_codes.h"
#include "emulator/images/image_error.h"

namespace vanter::standin {

using driver_result::kNoPrinterDriver;
using driver_result::kOk;
using driver_result::kUnitNotFound;
using driver_result::kUsbFailed;

inline constexpr std::int32_t kScriptUnreadable = 0xE1;
inline constexpr std::int32_t kScriptMalformed = 0xE2;
inline constexpr std::int32_t kBadPort = 0xE3;
inline constexpr std::int32_t kBadReset = 0xE4;
inline constexpr std::int32_t kBadSlot = 0xE5;
inline constexpr std::int32_t kBadMemoryType = 0xE6;
inline constexpr std::int32_t kBadFormat = 0xE7;
inline constexpr std::int32_t kBadOffset = 0xE8;
inline constexpr std::int32_t kBadSimulationSetting = 0xEA;
inline constexpr std::int32_t kMemoryTypeMismatch = 0xEB;
inline constexpr std::int32_t kInternalFailure = 0xEF;

// Image loading failures, 0x40 to 0x4A: those of the readers, then the unit memories that
// could not be written.
inline constexpr std::int32_t kFirstImageFailure = 0x40;
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
    for (const ImageFailureCode& entry : kImageFailureCodes)
        if (entry.failure == failure)
            return entry.code;
    return kInternalFailure;
}

// A short name of an image failure, as the transcript shows it ("bad checksum").
constexpr std::string_view failureName(images::LoadFailure failure) noexcept {
    for (const ImageFailureCode& entry : kImageFailureCodes)
        if (entry.failure == failure)
            return entry.name;
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
