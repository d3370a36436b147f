#include "describe.h"

#include <gtest/gtest.h>

#include <vector>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

#include "terminal_text.h"

namespace vanter::cli {
namespace {

// Port "0x378", reset "High"; slot #0 "27512", "Hex", offset 0x0000, main.hex; slot #2
// "27010", "Binary", offset 8000, data.bin.
Configuration example() {
    Configuration config;
    config.port = "0x378";
    config.resetLevel = 1;
    config.slots[0] = {true, 3, 1, "0x0000", "C:\\fw\\main.hex"};
    config.slots[1] = {false, 0, 0, "1234", "ignored.bin"};
    config.slots[2] = {true, 4, 0, "8000", "C:\\fw\\data.bin"};
    return config;
}

TEST(DescribeTest, ExampleInWords) {
    EXPECT_EQ(describeConfiguration(example()), "Port: 0x378 (port number 2)\n"
                                                "Reset level: High\n"
                                                "VANTER #0: 27512, Hex\n"
                                                "  Target System address of EPROM: 0\n"
                                                "  Image file: C:\\fw\\main.hex\n"
                                                "VANTER #2: 27010, Binary\n"
                                                "  Loading offset at EPROM socket: 8000\n"
                                                "  Image file: C:\\fw\\data.bin\n");
}

TEST(DescribeTest, NothingSelectedTypedPortsAndOddOffsets) {
    Configuration config;
    config.port = "0x2bc";
    config.slots[3] = {true, -1, -1, "12zz", ""};
    EXPECT_EQ(describeConfiguration(config), "Port: 0x2bc (typed, port number 700)\n"
                                             "Reset level: none\n"
                                             "VANTER #3: no memory type, no file format\n"
                                             "  Target System address of EPROM: 12 (read from "
                                             "the text '12zz')\n"
                                             "  Image file: none named\n");

    Configuration empty;
    EXPECT_EQ(describeConfiguration(empty),
              "Port: none\nReset level: none\nNo VANTER is enabled\n");

    Configuration badPort;
    badPort.port = "lpt1";
    EXPECT_EQ(describeConfiguration(badPort).substr(0, describeConfiguration(badPort).find('\n')),
              "Port: lpt1 ('lpt1' is not a valid integer value)");

    Configuration usb;
    usb.port = "usb"; // letter case ignored: the list entry
    EXPECT_EQ(describeConfiguration(usb).substr(0, 25), "Port: usb (port number 5)");
}

TEST(DescribeTest, JsonNullsForNothingSelected) {
    Configuration config;
    config.slots[1] = {true, -1, -1, "-1", "a\"b"};
    EXPECT_EQ(configurationJson(config), R"({
  "port": "",
  "portNumber": null,
  "resetLevel": null,
  "units": [
    {
      "slot": 1,
      "memoryType": null,
      "memoryTypeCode": 0,
      "partSize": null,
      "fileFormat": null,
      "fileFormatCode": 0,
      "offset": "-1",
      "offsetValue": 4294967295,
      "fileName": "a\"b"
    }
  ]
}
)");
    EXPECT_EQ(configurationJson(Configuration{}),
              "{\n  \"port\": \"\",\n  \"portNumber\": null,\n  \"resetLevel\": null,\n"
              "  \"units\": []\n}\n");
}

TEST(DescribeTest, JsonStringsAreValidWhateverTheBytes) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", R"("")"},
        {"plain", R"("plain")"},
        {"say \"hi\"", R"("say \"hi\"")"},
        {"C:\\fw\\x.hex", R"("C:\\fw\\x.hex")"},
        {"a\tb\nc\rd\be\ff", R"("a\tb\nc\rd\be\ff")"},
        {std::string("\x01\x1f\x7f/", 4), "\"\\u0001\\u001f\x7f/\""},
        {std::string("nul\0x", 5), R"("nul\u0000x")"},
        {"caf\xc3\xa9", "\"caf\xc3\xa9\""},                    // UTF-8 passes through
        {"\xf0\x9f\x98\x80", "\"\xf0\x9f\x98\x80\""},          // four bytes
        {"\xc2\x9b[2J", R"("\u009b[2J")"},                     // a C1 control, though UTF-8
        {"caf\xe9", R"("caf\u00e9")"},                         // a Latin-1 byte
        {"\xc0\x80", R"("\u00c0\u0080")"},                     // overlong form of NUL
        {"\xed\xa0\x80", R"("\u00ed\u00a0\u0080")"},           // a surrogate
        {"\xf4\x90\x80\x80", R"("\u00f4\u0090\u0080\u0080")"}, // past U+10FFFF
        {"\xe2\x82", R"("\u00e2\u0082")"},                     // cut short at the end
        {"\xe2(\xa1", R"("\u00e2(\u00a1")"},                   // broken in the middle
        {"\xe2\x80\xae\xe2\x80\xa8", R"("\u202e\u2028")"},     // bidi control, line separator
        {"\xf3\xa0\x80\x81", R"("\udb40\udc01")"},             // a format character past U+FFFF
    };
    for (const auto& [text, json] : cases) {
        SCOPED_TRACE(json);
        EXPECT_EQ(jsonString(text), json);
    }
}

TEST(TerminalText, EscapesWhatActsOnATerminalAndABackslashBeforeAnX) {
    const struct {
        std::string text, shown, asLine;
    } cases[] = {
        {"C:\\fw\\x1b", "C:\\fw\\x5cx1b", "C:\\fw\\x5cx1b"},
        {"\\\\x\\", "\\\\x5cx\\", "\\\\x5cx\\"},
        {"a\nb\x7f", "a\nb\\x7f", "a\\x0ab\\x7f"},
#ifndef _WIN32 // UTF-8 text; on Windows these bytes are letters of the ANSI code page
        {"caf\xc3\xa9 \xe9", "caf\xc3\xa9 \\xe9", "caf\xc3\xa9 \\xe9"},
        {"\xc2\x9b\xc2\xad\xe2\x80\x8f", "\\xc2\\x9b\\xc2\\xad\\xe2\\x80\\x8f",
         "\\xc2\\x9b\\xc2\\xad\\xe2\\x80\\x8f"},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        EXPECT_EQ(terminalText(c.text), c.shown);
        EXPECT_EQ(terminalLine(c.text), c.asLine);
    }
}

#ifdef _WIN32
// Text in the ANSI code page: a letter passes, a soft hyphen (a format character) does not, and
// JSON carries the letter in UTF-8, with no bytes field as the name is valid.
TEST(TerminalText, AnsiCodePageOnWindows) {
    if (GetACP() != 1252) {
        GTEST_SKIP() << "code page " << GetACP() << "; the cases are of code page 1252";
    }
    EXPECT_EQ(terminalText("caf\xe9\xad"), "caf\xe9\\xad");
    Configuration config;
    config.slots[0] = {true, 3, 1, "0", "caf\xe9"};
    const std::string json = configurationJson(config);
    EXPECT_NE(json.find("\"fileName\": \"caf\xc3\xa9\"\n"), std::string::npos) << json;
}
#endif

} // namespace
} // namespace vanter::cli
