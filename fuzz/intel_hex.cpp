// The Intel HEX reader on any bytes (see image_loader.h).

#include "image_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return vanter::fuzz::fuzzImage(vanter::parts::ImageFormat::intelHex, data, size);
}
