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
        {{"check", "--json", "a.in3"}, "option '--json' applies to 'show' only"},
        {{"download", "--json", "--watch", "a.in3"}, "option '--json' applies to 'show' only"},
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
