#include "arguments.h"

#include <gtest/gtest.h>

#include <vector>

namespace vanter::cli {
namespace {

Arguments parse(std::vector<std::string_view> args) {
    return parseArguments(args);
}

Arguments make(Command command, std::string file, bool watch = false, bool json = false) {
    Arguments arguments;
    arguments.command = command;
    arguments.file = std::move(file);
    arguments.watch = watch;
    arguments.json = json;
    return arguments;
}

using parts::ImageFormat;

template <typename Fill> Arguments split(std::string file, SplitOptions options, Fill fill) {
    Arguments arguments = make(Command::split, std::move(file));
    fill(options);
    arguments.split = options;
    return arguments;
}

struct Accepted {
    std::vector<std::string_view> args;
    Arguments expected;
};

TEST(ArgumentsTest, AcceptsEachCommandWithOptionsAnywhere) {
    Arguments help;
    help.help = true;
    Arguments version;
    version.version = true;
    const std::vector<Accepted> cases = {
        {{"download", "a.in3"}, make(Command::download, "a.in3")},
        {{"download", "--watch", "a.in3"}, make(Command::download, "a.in3", true)},
        {{"download", "a.in3", "-w"}, make(Command::download, "a.in3", true)},
        {{"--watch", "download", "a.in3"}, make(Command::download, "a.in3", true)},
        {{"check", "a.in3"}, make(Command::check, "a.in3")},
        {{"validate", "a.in3"}, make(Command::validate, "a.in3")},
        {{"show", "a.in3"}, make(Command::show, "a.in3")},
        {{"show", "-j", "a.in3"}, make(Command::show, "a.in3", false, true)},
        {{"show", "--json", "--json", "a.in3"}, make(Command::show, "a.in3", false, true)},
        // After "--" a leading dash is part of the file name; "-" alone is never an option.
        {{"show", "--", "-odd.in3"}, make(Command::show, "-odd.in3")},
        {{"show", "-"}, make(Command::show, "-")},
        {{"--", "show", "--json"}, make(Command::show, "--json")},
        // --help and --version win where they stand, whatever follows.
        {{"--help"}, help},
        {{"-h", "--bogus"}, help},
        {{"frobnicate", "x", "y", "--help"}, help},
        {{"--version"}, version},
        {{"check", "-V"}, version},
        {{"map", "--json", "a.in3"}, make(Command::map, "a.in3", false, true)},
        {{"split", "-n2", "dir/fw.HEX"},
         split("dir/fw.HEX", {},
               [](SplitOptions& o) {
                   o.lanes = 2;
                   o.order = {0, 1};
                   o.from = o.to = ImageFormat::intelHex;
                   o.output = "dir/fw-#.HEX";
               })},
        {{"split", "fw.s19", "--lanes=4", "--order", "3210", "--base=0X8000", "--to", "Binary",
          "-p", "27512", "-c", "b.in3", "-fo", "u#.bin"},
         split("fw.s19", {},
               [](SplitOptions& o) {
                   o.lanes = 4;
                   o.order = {3, 2, 1, 0};
                   o.base = 0x8000;
                   o.from = ImageFormat::sRecord;
                   o.to = ImageFormat::binary;
                   o.part = 3;
                   o.config = "b.in3";
                   o.force = true;
                   o.output = "u#.bin";
               })},
        {{"split", "-n", "2", "--from=srec", "--to=hex", "fw.x"},
         split("fw.x", {},
               [](SplitOptions& o) {
                   o.lanes = 2;
                   o.order = {0, 1};
                   o.from = ImageFormat::sRecord;
                   o.to = ImageFormat::intelHex;
                   o.output = "fw-#.hex";
               })},
        {{"show", "-jh"},
         [] {
             Arguments a;
             a.json = true;
             a.help = true;
             return a;
         }()},
    };
    for (const Accepted& c : cases) {
        std::string line;
        for (std::string_view arg : c.args) {
            line += std::string(arg) + " ";
        }
        SCOPED_TRACE(line);
        EXPECT_EQ(parse(c.args), c.expected);
    }
}

struct Refused {
    std::vector<std::string_view> args;
    std::string message;
};

TEST(ArgumentsTest, RefusesWithTheReason) {
    const std::vector<Refused> cases = {
        {{}, "missing command"},
        {{"--watch"}, "missing command"},
        {{"frobnicate", "a.in3"}, "unknown command 'frobnicate'"},
        {{"Download", "a.in3"}, "unknown command 'Download'"},
        {{"download"}, "'download' needs a configuration file"},
        {{"show", "--json"}, "'show' needs a configuration file"},
        {{"show", "a.in3", "b.in3"}, "unexpected argument 'b.in3'"},
        {{"check", "--bogus", "a.in3"}, "unrecognized option '--bogus'"},
        {{"check", "--", "a.in3", "--bogus"}, "unexpected argument '--bogus'"},
        {{"check", "-x", "a.in3"}, "invalid option -- 'x'"},
        {{"show", "-jx", "a.in3"}, "invalid option -- 'x'"},
        {{"show", "--json=yes", "a.in3"}, "option '--json' doesn't allow an argument"},
        {{"show", "--watch", "a.in3"}, "option '--watch' applies to 'download' only"},
        {{"check", "--json", "a.in3"}, "option '--json' applies to 'show' and 'map' only"},
        {{"download", "--json", "--watch", "a.in3"},
         "option '--json' applies to 'show' and 'map' only"},
        {{"map", "--lanes=2", "a.in3"}, "option '--lanes' applies to 'split' only"},
        {{"split", "-n2"}, "'split' needs an image file"},
        {{"split", "fw.hex"}, "'split' needs --lanes (2 or 4)"},
        {{"split", "fw.hex", "--lanes"}, "option '--lanes' requires an argument"},
        {{"split", "fw.hex", "-n"}, "option requires an argument -- 'n'"},
        {{"split", "-n", "3", "fw.hex"}, "option '--lanes' takes 2 or 4, not '3'"},
        {{"split", "-n2", "fw.dat"},
         "can't tell the format of 'fw.dat' from its name: give --from"},
        {{"split", "-n2", "--to=elf", "fw.hex"},
         "option '--to' takes binary, hex or srec, not 'elf'"},
        {{"split", "-n2", "--base=1g", "fw.hex"},
         "option '--base' takes a hexadecimal address, not '1g'"},
        {{"split", "-n2", "--base=100000000", "fw.hex"},
         "option '--base' takes a hexadecimal address, not '100000000'"},
        {{"split", "-n4", "--base=2", "fw.hex"},
         "the base address must be a multiple of 4, the number of lanes"},
        {{"split", "-n2", "--order=00", "fw.hex"},
         "option '--order' must name each lane 0 to 1 once"},
        {{"split", "-n4", "--order=10", "fw.hex"},
         "option '--order' must name each lane 0 to 3 once"},
        {{"split", "-n2", "-o", "fw.hex", "fw.hex"},
         "option '--output' needs one '#', which becomes the unit number"},
        {{"split", "-n2", "-c", "b.in3", "fw.hex"},
         "option '--config' needs --part, the part of every unit"},
        {{"split", "-n2", "--part=27513", "fw.hex"},
         "option '--part' takes a memory type (2764 ... 32M), not '27513'"},
    };
    for (const Refused& c : cases) {
        SCOPED_TRACE(c.message);
        try {
            parse(c.args);
            ADD_FAILURE() << "accepted";
        } catch (const UsageError& error) {
            EXPECT_EQ(error.what(), c.message);
        }
    }
}

} // namespace
} // namespace vanter::cli
