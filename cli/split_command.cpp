#include "split_command.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "config/errors.h"
#include "config/in3_file.h"
#include "emulator/image_file.h"
#include "emulator/images/checksums.h"
#include "emulator/images/image_error.h"
#include "emulator/images/lanes.h"
#include "exit_status.h"
#include "fs/atomic_file.h"
#include "fs/native_name.h"
#include "terminal_text.h"
#include "text/hex.h"
#include "validate.h"

namespace vanter::cli {

namespace {

namespace fs = std::filesystem;
using parts::ImageFormat;
using text::hexText;

constexpr std::uint32_t kLargestPart = std::ranges::max(parts::kParts, {}, &parts::Part::size).size;

struct Output {
    std::string name; // as the user reads it
    fs::path path;
    std::string bytes;
};

// The lowest-case hexadecimal of the configuration file's offsets.
std::string offsetText(std::uint32_t value) {
    return hexText(value).substr(2);
}

// The configuration that loads unit #j from outputs[j].
std::string configurationText(const SplitOptions& split, const std::vector<Output>& outputs) {
    Configuration config = Configuration::defaults();
    for (std::size_t j = 0; j < config.slots.size(); ++j) {
        SlotSettings& slot = config.slots[j];
        slot.enabled = j < outputs.size();
        if (!slot.enabled) {
            continue;
        }
        slot.memoryType = *split.part;
        slot.fileFormat = parts::positionOf(split.to);
        // A Hex or S-record lane keeps its addresses divided by the number of lanes.
        slot.offset = offsetText(split.to == ImageFormat::binary ? 0 : split.base / split.lanes);
        slot.fileName = nativeName(fs::absolute(outputs[j].path));
    }
    return formatConfiguration(config);
}

// Why `output` must not be written, or "".
std::string refusal(const Output& output, const fs::path& image, bool force) {
    std::error_code error;
    if (!fs::exists(fs::symlink_status(output.path, error))) {
        return "";
    }
    if (fs::equivalent(output.path, image, error)) {
        return output.name + " is the image being split; it is never replaced";
    }
    return force ? "" : output.name + " exists; --force replaces it";
}

// Writes every output, each complete or not at all; on a failure the files it made anew are
// removed again, so that what existed before is all that is left. Returns the failure or "".
std::string writeAll(const std::vector<Output>& outputs) {
    std::vector<fs::path> made;
    for (const Output& output : outputs) {
        std::error_code error;
        const bool existed = fs::exists(fs::symlink_status(output.path, error));
        try {
            writeFileAtomically(output.path, output.bytes);
        } catch (const FileError& failure) {
            for (const fs::path& path : made) {
                fs::remove(path, error);
            }
            return failure.message();
        }
        if (!existed) {
            made.push_back(output.path);
        }
    }
    return "";
}

int fail(std::ostream& err, const std::vector<std::string>& problems, int status) {
    for (const std::string& problem : problems) {
        err << terminalLine(problem) << '\n';
    }
    err << "Nothing was written" << std::endl;
    return status;
}

} // namespace

int runSplitCommand(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    const SplitOptions& split = arguments.split;
    const fs::path image = pathFromNativeName(arguments.file);
    const auto part = split.part ? parts::partAt(*split.part) : std::nullopt;
    const std::uint32_t laneSize = part ? part->size : kLargestPart;

    // The bus as one memory: a Hex or S-record image is placed from the base address on, a
    // Binary one from its first byte.
    const std::uint32_t offset = split.from == ImageFormat::binary ? 0 : split.base;
    std::optional<images::LoadedImage> bus;
    try {
        bus = loadImageFile(image, split.from, offset, split.lanes * kLargestPart);
    } catch (const images::ImageError& error) {
        std::vector<std::string> problems{error.message()};
        const auto failure = error.failure();
        if (failure == images::LoadFailure::beforePartStart ||
            failure == images::LoadFailure::pastPartEnd ||
            failure == images::LoadFailure::imageTooLarge) {
            problems.push_back("(the " + std::to_string(split.lanes) +
                               " lanes take the image's addresses " + hexText(offset) + " to " +
                               hexText(std::uint64_t{offset} + split.lanes * kLargestPart - 1) +
                               " at most: from the base address (--base), 4 MiB for each unit)");
        }
        return fail(err, problems, kExitInvalidImage);
    }
    if (bus->memory.bytesLoaded() == 0) {
        return fail(err, {arguments.file + " holds no data"}, kExitInvalidImage);
    }

    std::vector<images::MemoryImage> lanes;
    std::vector<std::string> problems;
    for (std::uint32_t j = 0; j < split.lanes; ++j) {
        lanes.push_back(images::laneOf(bus->memory, split.lanes, split.order[j]));
        const auto highest = lanes.back().highest();
        if (highest && *highest >= laneSize) {
            problems.push_back("lane " + std::to_string(split.order[j]) + " (VANTER #" +
                               std::to_string(j) + ") reaches memory address " + hexText(*highest) +
                               ", past the end of the " +
                               std::string(part ? part->name : "largest part") + " (last address " +
                               hexText(laneSize - 1) + ")");
        }
    }
    if (!problems.empty()) {
        return fail(err, problems, kExitInvalidImage);
    }

    std::vector<Output> outputs;
    for (std::uint32_t j = 0; j < split.lanes; ++j) {
        std::string name = split.output;
        name.replace(name.find('#'), 1, std::to_string(j));
        outputs.push_back({name, pathFromNativeName(name),
                           images::imageFileText(lanes[j], split.to, split.base / split.lanes)});
    }
    std::string configuration;
    if (!split.config.empty()) {
        configuration = configurationText(split, outputs);
    }
    std::vector<Output> files = std::move(outputs); // the lanes first, in unit order
    if (!split.config.empty()) {
        files.push_back({split.config, pathFromNativeName(split.config), std::move(configuration)});
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        for (std::size_t earlier = 0; earlier < i; ++earlier) {
            if (fs::absolute(files[i].path).lexically_normal() ==
                fs::absolute(files[earlier].path).lexically_normal()) {
                problems.push_back(files[i].name + " is named twice");
            }
        }
        if (std::string why = refusal(files[i], image, split.force); !why.empty()) {
            problems.push_back(why);
        }
    }
    if (!problems.empty()) {
        return fail(err, problems, kExitOutput);
    }
    if (const std::string failure = writeAll(files); !failure.empty()) {
        return fail(err, {failure}, kExitOutput);
    }

    std::string report;
    for (std::uint32_t j = 0; j < split.lanes; ++j) {
        const images::MemoryImage& lane = lanes[j];
        const std::string prefix = "VANTER #" + std::to_string(j) + ": ";
        report += prefix + terminalLine(files[j].name) + ": lane " +
                  std::to_string(split.order[j]) + ", ";
        if (lane.bytesLoaded() == 0) {
            report += "no data\n";
        } else {
            report += std::to_string(lane.bytesLoaded()) + " bytes at memory addresses " +
                      hexText(*lane.lowest()) + " to " + hexText(*lane.highest()) + "\n";
        }
        if (part) {
            // What the unit will present: the lane in an erased part (the lane fits it).
            report += prefix + "checksums of the whole " + std::string(part->name) + ": " +
                      checksumText(images::checksums(lane.memory().first(part->size))) + "\n";
        }
    }
    if (!split.config.empty()) {
        report += "Configuration: " + terminalLine(split.config) + "\n";
    }
    // The names in it are escaped already; the rest is our own text.
    out << report << std::flush;
    return kExitOk;
}

} // namespace vanter::cli
