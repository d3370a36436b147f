#pragma once

// Byte lanes of a wide bus, and image files written from a memory. A bus of N parts side by
// side (two 8-bit parts on a 16-bit bus, four on a 32-bit bus) gives each part every N-th
// byte: lane k holds the bytes at bus addresses a with a mod N = k, at address a / N.

#include <cstdint>
#include <string>

#include "memory_image.h"
#include "parts/parts.h"

namespace vanter::images {

// Lane `lane` of the `lanes` lanes of `bus`, in a memory of bus.size() / lanes bytes. Only the
// loaded addresses of the bus are loaded in the lane.
MemoryImage laneOf(const MemoryImage& bus, std::uint32_t lanes, std::uint32_t lane);

// The bytes of an image file in `format` that loads `memory` back: for Binary every byte from
// address 0 to the highest one loaded (0xFF where nothing is), to be loaded at offset 0; for
// Intel HEX and S-record the loaded bytes alone, at file address `base` + memory address, to
// be loaded with offset `base`. Hex takes extended linear address records where the addresses
// need them, S-records the shortest of S1, S2 and S3 that holds every address. `base` plus the
// highest address must stay below 2^32.
std::string imageFileText(const MemoryImage& memory, parts::ImageFormat format, std::uint32_t base);

} // namespace vanter::images
