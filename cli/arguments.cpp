#include "arguments.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <vector>

#include "config/values.h"
#include "fs/native_name.h"

#ifndef VANTER_VERSION
#error "VANTER_VERSION must name the project version"
#endif

namespace vanter::cli {

namespace {

struct CommandEntry {
    std::string_view name;
    Command command;
};

constexpr std::array<CommandEntry, 6> kCommands{{
    {"download", Command::download},
    {"check", Command::check},
    {"validate", Command::validate},
    {"show", Command::show},
    {"map", Command::map},
    {"split", Command::split},
}};

enum class Flag {
    help,
    version,
    watch,
    json,
    lanes,
    order,
    base,
    from,
    to,
    part,
    output,
    config,
    force
};

constexpr unsigned bit(Command command) {
    return 1U << static_cast<unsigned>(command);
}

struct OptionEntry {
    std::string_view longName;
    char shortName; // '\0' for none
    Flag flag;
    bool takesValue;
    unsigned commands; // those it applies to; 0 for all
};

constexpr unsigned kSplit = bit(Command::split);

constexpr std::array<OptionEntry, 13> kOptions{{
    {"help", 'h', Flag::help, false, 0},
    {"version", 'V', Flag::version, false, 0},
    {"watch", 'w', Flag::watch, false, bit(Command::download)},
    {"json", 'j', Flag::json, false, bit(Command::show) | bit(Command::map)},
    {"lanes", 'n', Flag::lanes, true, kSplit},
    {"order", '\0', Flag::order, true, kSplit},
    {"base", '\0', Flag::base, true, kSplit},
    {"from", '\0', Flag::from, true, kSplit},
    {"to", '\0', Flag::to, true, kSplit},
    {"part", 'p', Flag::part, true, kSplit},
    {"output", 'o', Flag::output, true, kSplit},
    {"config", 'c', Flag::config, true, kSplit},
    {"force", 'f', Flag::force, false, kSplit},
}};

std::string quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

// What the command line said, before the options are checked against each other.
struct Parsed {
    Arguments arguments;
    std::vector<const OptionEntry*> seen;
    std::optional<parts::ImageFormat> from;
    std::optional<parts::ImageFormat> to;
};

// "binary", "hex", "srec" or the window's names, letter case ignored.
parts::ImageFormat formatNamed(std::string_view option, std::string_view text) {
    int position = listPosition(kFileFormats, text);
    if (position < 0) {
        position = listPosition(std::array<std::string_view, 3>{"bin", "hex", "srec"}, text);
    }
    if (position < 0) {
        throw UsageError("option '--" + std::string(option) + "' takes binary, hex or srec, not " +
                         quoted(text));
    }
    return *parts::formatAt(position);
}

// A hexadecimal number of 32 bits, "0x" allowed, nothing else.
std::uint32_t hexNumber(std::string_view option, std::string_view text) {
    std::string_view digits = text;
    if (digits.starts_with("0x") || digits.starts_with("0X")) {
        digits.remove_prefix(2);
    }
    std::uint64_t value = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size() ||
        value > UINT32_MAX) {
        throw UsageError("option '--" + std::string(option) +
                         "' takes a hexadecimal address, not " + quoted(text));
    }
    return static_cast<std::uint32_t>(value);
}

// Takes the option's value, if it has one. True when parsing ends here (help, version).
bool apply(const OptionEntry& option, std::string_view value, Parsed& parsed) {
    parsed.seen.push_back(&option);
    Arguments& arguments = parsed.arguments;
    SplitOptions& split = arguments.split;
    switch (option.flag) {
    case Flag::help:
        arguments.help = true;
        return true;
    case Flag::version:
        arguments.version = true;
        return true;
    case Flag::watch:
        arguments.watch = true;
        break;
    case Flag::json:
        arguments.json = true;
        break;
    case Flag::lanes:
        if (value != "2" && value != "4") {
            throw UsageError("option '--lanes' takes 2 or 4, not " + quoted(value));
        }
        split.lanes = value == "2" ? 2 : 4;
        break;
    case Flag::order:
        split.order.clear();
        for (const char c : value) {
            split.order.push_back(c >= '0' && c <= '3' ? std::uint32_t(c - '0') : 9);
        }
        break;
    case Flag::base:
        split.base = hexNumber(option.longName, value);
        break;
    case Flag::from:
        parsed.from = formatNamed(option.longName, value);
        break;
    case Flag::to:
        parsed.to = formatNamed(option.longName, value);
        break;
    case Flag::part: {
        const int position = listPosition(kMemoryTypes, value);
        if (position < 0) {
            throw UsageError("option '--part' takes a memory type (2764 ... 32M), not " +
                             quoted(value));
        }
        split.part = position;
        break;
    }
    case Flag::output:
        split.output = std::string(value);
        break;
    case Flag::config:
        split.config = std::string(value);
        break;
    case Flag::force:
        split.force = true;
        break;
    }
    return false;
}

// The format an image file's extension names, if it names one.
std::optional<parts::ImageFormat> formatOfName(const std::string& file) {
    std::string extension = nativeName(pathFromNativeName(file).extension());
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    for (const std::string_view binary : {".bin", ".rom", ".img"}) {
        if (extension == binary) {
            return parts::ImageFormat::binary;
        }
    }
    for (const std::string_view hex : {".hex", ".ihx", ".ihex"}) {
        if (extension == hex) {
            return parts::ImageFormat::intelHex;
        }
    }
    for (const std::string_view srec : {".s19", ".s28", ".s37", ".srec", ".mot"}) {
        if (extension == srec) {
            return parts::ImageFormat::sRecord;
        }
    }
    return std::nullopt;
}

std::string_view extensionOf(parts::ImageFormat format) {
    switch (format) {
    case parts::ImageFormat::binary:
        return ".bin";
    case parts::ImageFormat::intelHex:
        return ".hex";
    case parts::ImageFormat::sRecord:
        return ".srec";
    }
    return "";
}

// split's options against each other and the image's name; fills in the defaults.
void finishSplit(Parsed& parsed) {
    Arguments& arguments = parsed.arguments;
    SplitOptions& split = arguments.split;
    if (split.lanes == 0) {
        throw UsageError("'split' needs --lanes (2 or 4)");
    }
    if (split.order.empty()) {
        for (std::uint32_t k = 0; k < split.lanes; ++k) {
            split.order.push_back(k);
        }
    }
    std::vector<std::uint32_t> sorted = split.order;
    std::ranges::sort(sorted);
    for (std::uint32_t k = 0; k < split.lanes; ++k) {
        if (sorted.size() != split.lanes || sorted[k] != k) {
            throw UsageError("option '--order' must name each lane 0 to " +
                             std::to_string(split.lanes - 1) + " once");
        }
    }
    if (split.base % split.lanes != 0) {
        throw UsageError("the base address must be a multiple of " + std::to_string(split.lanes) +
                         ", the number of lanes");
    }
    const auto named = formatOfName(arguments.file);
    if (!parsed.from && !named) {
        throw UsageError("can't tell the format of " + quoted(std::string_view(arguments.file)) +
                         " from its name: give --from");
    }
    split.from = parsed.from ? *parsed.from : *named;
    split.to = parsed.to ? *parsed.to : split.from;
    if (split.output.empty()) {
        const std::filesystem::path image = pathFromNativeName(arguments.file);
        const std::string extension =
            split.to == named ? nativeName(image.extension()) : std::string(extensionOf(split.to));
        std::filesystem::path output = image;
        output.replace_filename(pathFromNativeName(nativeName(image.stem()) + "-#" + extension));
        split.output = nativeName(output);
    } else if (std::ranges::count(split.output, '#') != 1) {
        throw UsageError("option '--output' needs one '#', which becomes the unit number");
    }
    if (!split.config.empty() && !split.part) {
        throw UsageError("option '--config' needs --part, the part of every unit");
    }
}

std::string commandList(unsigned commands) {
    std::string text;
    for (const CommandEntry& entry : kCommands) {
        if ((commands & bit(entry.command)) != 0) {
            text += (text.empty() ? "" : " and ") + quoted(entry.name);
        }
    }
    return text;
}

// "--name", "--name=value" or "--name value" (`next` the argument after it, if any). Returns
// true when parsing ends here; `usedNext` tells whether `next` was taken.
bool longOption(std::string_view arg, const std::string_view* next, bool& usedNext,
                Parsed& parsed) {
    const std::string_view body = arg.substr(2);
    const std::size_t equals = body.find('=');
    const std::string_view name = body.substr(0, equals);
    for (const OptionEntry& option : kOptions) {
        if (option.longName != name) {
            continue;
        }
        if (!option.takesValue && equals != std::string_view::npos) {
            throw UsageError("option '--" + std::string(name) + "' doesn't allow an argument");
        }
        if (!option.takesValue) {
            return apply(option, {}, parsed);
        }
        if (equals != std::string_view::npos) {
            return apply(option, body.substr(equals + 1), parsed);
        }
        if (next == nullptr) {
            throw UsageError("option '--" + std::string(name) + "' requires an argument");
        }
        usedNext = true;
        return apply(option, *next, parsed);
    }
    throw UsageError("unrecognized option " + quoted(arg));
}

// "-wj", "-n2", "-n 2": each letter an option, the rest (or the next argument) the value of
// one that takes a value.
bool shortOptions(std::string_view arg, const std::string_view* next, bool& usedNext,
                  Parsed& parsed) {
    for (std::size_t i = 1; i < arg.size(); ++i) {
        const char letter = arg[i];
        const auto found = std::ranges::find(kOptions, letter, &OptionEntry::shortName);
        if (letter == '\0' || found == kOptions.end()) {
            throw UsageError("invalid option -- " + quoted(std::string_view(&letter, 1)));
        }
        if (!found->takesValue) {
            if (apply(*found, {}, parsed)) {
                return true;
            }
            continue;
        }
        if (i + 1 < arg.size()) {
            return apply(*found, arg.substr(i + 1), parsed);
        }
        if (next == nullptr) {
            throw UsageError("option requires an argument -- " +
                             quoted(std::string_view(&letter, 1)));
        }
        usedNext = true;
        return apply(*found, *next, parsed);
    }
    return false;
}

Command findCommand(std::string_view name) {
    for (const CommandEntry& entry : kCommands) {
        if (entry.name == name) {
            return entry.command;
        }
    }
    throw UsageError("unknown command " + quoted(name));
}

} // namespace

Arguments parseArguments(std::span<const std::string_view> args) {
    Parsed parsed;
    Arguments& arguments = parsed.arguments;
    std::vector<std::string_view> operands;
    bool optionsEnded = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool isOption = !optionsEnded && arg.size() > 1 && arg.front() == '-';
        if (isOption && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (isOption) {
            const std::string_view* next = i + 1 < args.size() ? &args[i + 1] : nullptr;
            bool usedNext = false;
            const bool done = arg.starts_with("--") ? longOption(arg, next, usedNext, parsed)
                                                    : shortOptions(arg, next, usedNext, parsed);
            if (done) {
                return arguments;
            }
            i += usedNext ? 1 : 0;
            continue;
        }
        operands.push_back(arg);
    }

    if (operands.empty()) {
        throw UsageError("missing command");
    }
    arguments.command = findCommand(operands[0]);
    if (operands.size() > 2) {
        throw UsageError("unexpected argument " + quoted(operands[2]));
    }
    for (const OptionEntry& option : kOptions) {
        const bool used = std::ranges::find(parsed.seen, &option) != parsed.seen.end();
        if (used && option.commands != 0 && (option.commands & bit(arguments.command)) == 0) {
            throw UsageError("option '--" + std::string(option.longName) + "' applies to " +
                             commandList(option.commands) + " only");
        }
    }
    if (operands.size() < 2) {
        throw UsageError(quoted(operands[0]) + (arguments.command == Command::split
                                                    ? " needs an image file"
                                                    : " needs a configuration file"));
    }
    arguments.file = std::string(operands[1]);
    if (arguments.command == Command::split) {
        finishSplit(parsed);
    }
    return arguments;
}

std::string_view commandName(Command command) noexcept {
    for (const CommandEntry& entry : kCommands) {
        if (entry.command == command) {
            return entry.name;
        }
    }
    return "";
}

std::string helpText() {
    return R"(Usage: vanter3-cli COMMAND [OPTION]... FILE.in3
       vanter3-cli split --lanes=N [OPTION]... IMAGE
Load, check and inspect a chain of VANTER III emulator units from a configuration
file (.in3) written by the window program vanter3.

Commands:
  download FILE.in3          write the download script and load every enabled unit
  download --watch FILE.in3  download, then download again whenever FILE.in3 or an
                             enabled unit's image file changes, until Ctrl+C
  check FILE.in3             check every enabled unit in turn
  validate FILE.in3          without the driver: check that every enabled unit's
                             image file exists, reads in its format and fits its
                             part, and print the byte sum and CRC-32 of each part
  map FILE.in3               without the driver: what each enabled unit will hold:
                             data ranges, erased gaps, a bar across the part and
                             the checksums
  map --json FILE.in3        the same as JSON
  show FILE.in3              print the configuration in words
  show --json FILE.in3       print the configuration as JSON
  split --lanes=N IMAGE      split an image for a 16-bit (N=2) or 32-bit (N=4) bus:
                             lane k holds the bytes at addresses a with a mod N = k,
                             at a / N; one file per unit

Options:
  -w, --watch     with download: keep running and download again after each change
  -j, --json      with show and map: machine-readable output
  -h, --help      print this help and exit
  -V, --version   print the version and exit

Options of split:
  -n, --lanes=N      2 or 4 lanes, one for each unit
      --order=LANES  the lane of unit #0, #1, ...: 10 gives unit #0 the bytes at odd
                     addresses (default 01 or 0123)
      --base=ADDR    target address of the bus's first byte, hexadecimal (default 0)
      --from=FORMAT  the image's format: binary, hex or srec (default: by its
                     extension: .bin .rom .img; .hex .ihx .ihex; .s19 .s28 .s37
                     .srec .mot)
      --to=FORMAT    the lane files' format (default: the image's)
  -o, --output=NAME  the lane files, '#' standing for the unit number (default:
                     IMAGE-#.EXT beside the image)
  -p, --part=TYPE    the units' memory type (2764 ... 32M); every lane must fit it
  -c, --config=FILE  also write a configuration that loads the lanes into units #0
                     to #N-1 (needs --part)
  -f, --force        replace files that exist

The status texts go to standard output as they come; the verdict goes to standard
output on success and to standard error on failure. Image file names that are not
absolute are taken from the working directory, as the driver library takes them.

Exit status:
  0  success
  1  the driver reported a failure (download or check failed)
  2  the command line is wrong
  3  the configuration file can't be read, is not valid, or enables no unit
  4  validate or map found a problem with a unit's image; split's image can't be
     read or a lane does not fit the part
  5  the download script can't be written; the driver was not called
  6  split would replace a file without --force, or can't write one; nothing was
     written
)";
}

std::string versionText() {
    return std::string(kProgramName) + " " VANTER_VERSION "\n";
}

} // namespace vanter::cli
