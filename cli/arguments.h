#pragma once

// The command line of vanter3-cli: COMMAND [OPTION]... FILE, GNU style (options may come
// before or after the file, "--" ends them, short options may be bundled).

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "parts/parts.h"

namespace vanter::cli {

inline constexpr std::string_view kProgramName = "vanter3-cli";

enum class Command { none, download, check, validate, show, map, split };

// split's options, checked against each other: the file is the image to split.
struct SplitOptions {
    std::uint32_t lanes = 0;          // --lanes: 2 or 4
    std::vector<std::uint32_t> order; // --order: unit #j gets lane order[j]
    std::uint32_t base = 0;           // --base: target address of the bus's first byte
    parts::ImageFormat from{};        // --from, else from the image's extension
    parts::ImageFormat to{};          // --to, else the image's format
    std::optional<int> part;          // --part: position in the memory type list
    std::string output;               // --output: lane file names, '#' the unit number
    std::string config;               // --config: configuration file to write
    bool force = false;               // --force: replace existing files

    bool operator==(const SplitOptions&) const = default;
};

struct Arguments {
    bool help = false;    // --help: print the help and nothing else
    bool version = false; // --version: print the version and nothing else
    Command command = Command::none;
    bool watch = false; // download --watch
    bool json = false;  // show --json, map --json
    std::string file;   // the configuration file (split: the image file)
    SplitOptions split;

    bool operator==(const Arguments&) const = default;
};

// A command line that can't be obeyed; what() says why, without the program name.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// `args` without the program name. --help and --version take effect where they stand, before
// anything after them is looked at. Throws UsageError.
Arguments parseArguments(std::span<const std::string_view> args);

std::string_view commandName(Command command) noexcept;

// The text of --help, ending in a line end.
std::string helpText();

// "vanter3-cli 3.0.3" and a line end.
std::string versionText();

} // namespace vanter::cli
