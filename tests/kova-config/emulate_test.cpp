// kova-config emulate: a device's bytes through one port of a .KOV file. The
// registers and decoded values each message gives are checked against values
// worked out here from the editing modes' definitions (IEEE 754 singles,
// packed BCD, two characters a register), not from the program's encoder.
#include <cstring>
#include <nlohmann/json.hpp>
#include <sstream>

#include "config/config_defaults.h"
#include "kova-config/kova_config_fixture.h"

namespace {

enum Mode : uint8_t { ASCII, PACKED, INTEGER, FLOAT, BCD, HEX, OCTAL, IDEC };

constexpr int16_t kStart = 101;

struct PathSetting {
    const char* pattern;
    uint8_t mode;
    int16_t count;
    int16_t start = kStart;
};

class EmulateTest : public KovaConfigTest {
  protected:
    // A fresh configuration whose port 1 has the paths given (masks keep
    // every character, no path continues); CR and LF end messages.
    void WritePort(const std::vector<PathSetting>& paths, int16_t timeout = 0) {
        ModuleConfig config;
        FillDefaults(config);
        PortConfig& port = config.Ports[0];
        for (size_t i = 0; i < 4; ++i) {
            DataPath& d = port.Paths[i];
            std::memset(d.Pattern, 0, sizeof d.Pattern);
            d.RegisterCount = 0;
            if (i >= paths.size()) continue;
            std::strncpy(d.Pattern, paths[i].pattern, 64);
            d.EditingMode = paths[i].mode;
            d.RegisterCount = paths[i].count;
            d.StartRegister = paths[i].start;
            d.Continue = 0;
        }
        config.Plus.TerminateTimeout[0] = timeout;
        WriteKov("PORT.KOV", DocumentOf(config, 3, 0));
    }

    RunResult Emulate(const std::string& bytes, const Args& options = {}) {
        WriteText("input", bytes);
        return Run(Join(options, {"emulate", Path("PORT.KOV"), "1", Path("input")}));
    }
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// "4x101=A 4x102=B ..." for the registers from kStart.
std::string Registers(const std::vector<int>& values) {
    std::string text;
    for (size_t i = 0; i < values.size(); ++i)
        text += (i ? " 4x" : "4x") + std::to_string(kStart + int(i)) + "=" +
                std::to_string(int16_t(uint16_t(values[i])));
    return text;
}

// An IEEE 754 single's 32 bits from its sign, unbiased exponent and fraction.
uint32_t Ieee(bool negative, int exponent, uint32_t fraction) {
    return uint32_t(negative) << 31 | uint32_t(exponent + 127) << 23 | fraction;
}

// The block of a float, low word first.
std::vector<int> FloatBlock(uint32_t bits) { return {int(bits & 0xFFFF), int(bits >> 16)}; }

// Two characters a register, the first in the high byte.
std::vector<int> Packed(const std::string& text, size_t count) {
    std::vector<int> block(count, 0);
    for (size_t i = 0; i < text.size() && i < 2 * count; ++i)
        block[i / 2] |= uint8_t(text[i]) << (i % 2 ? 0 : 8);
    return block;
}

// Decimal digits four to a register, the last digit in the last nibble.
std::vector<int> Bcd(const std::string& digits, size_t count) {
    std::vector<int> block(count, 0);
    for (size_t k = 0; k < digits.size() && k < 4 * count; ++k)
        block[count - 1 - k / 4] |= (digits[digits.size() - 1 - k] - '0') << (4 * (k % 4));
    return block;
}

TEST_F(EmulateTest, EachModesRegistersAndValueMatchTheDefinitions) {
    const struct {
        uint8_t mode;
        int16_t count;
        std::string message;
        std::vector<int> registers;
        std::string decoded;
    } cases[] = {
        {ASCII, 3, "AB", {'A', 'B', 0}, "ASCII \"AB\""},
        {PACKED, 3, "ABC123", Packed("ABC123", 3), "PACKED \"ABC123\""},
        {PACKED, 2, "XYZ", Packed("XYZ", 2), "PACKED \"XYZ\""},
        {INTEGER, 1, "W=-1234", {-1234}, "INTEGER -1234"},
        {INTEGER, 1, "12500 g", {12500}, "INTEGER 12500"},
        {FLOAT, 2, "12.5", FloatBlock(Ieee(false, 3, 0x480000)), "FLOAT 12.5"},
        {FLOAT, 2, "N -0.25 kg", FloatBlock(Ieee(true, -2, 0)), "FLOAT -0.25"},
        {BCD, 2, "ID 12345", Bcd("12345", 2), "BCD 12345"},
        {BCD, 1, "987654", Bcd("7654", 1), "BCD 7654"},
        {HEX, 1, "-1F", {-0x1F}, "HEX -1F"},
        {OCTAL, 1, "17", {017}, "OCTAL 17"},
        {IDEC, 1, "1?", {0x1F}, "IDEC 1F"},
    };
    for (const auto& c : cases) {
        WritePort({{"*", c.mode, c.count}});
        const RunResult r = Emulate(c.message + "\r\n");
        ASSERT_EQ(r.status, 0) << r.err;
        const std::vector<std::string> lines = Lines(r.out);
        ASSERT_EQ(lines.size(), 2u) << r.out;
        EXPECT_EQ(lines[0], "\"" + c.message + "\" | path 1 " + Registers(c.registers) + " " +
                                c.decoded + " | signal 0000 0000 0000 0001")
            << "mode " << int(c.mode);
        EXPECT_EQ(lines[1], "messages 1, path 1 1, path 2 0, path 3 0, path 4 0, not taken 0");
    }
}

// A raw capture of a device ending its lines with CR LF: the LF after each
// CR ends an empty message, which the module drops.
TEST_F(EmulateTest, ACaptureWithCrLfGivesOneMessageALine) {
    WritePort({{"#*", INTEGER, 1}, {"*", ASCII, 2, 200}});
    const RunResult r = Emulate("12500\r\n-7\r\nOK\r\n\r\n");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 4u) << r.out;
    EXPECT_EQ(lines[0],
              "\"12500\" | path 1 4x101=12500 INTEGER 12500 | signal 0000 0000 0000 0001");
    // "-7" starts with no digit: the second path takes it, as text.
    EXPECT_EQ(lines[1],
              "\"-7\" | path 2 4x200=45 4x201=55 ASCII \"-7\" | signal 0000 0000 0000 0011");
    EXPECT_EQ(lines[2],
              "\"OK\" | path 2 4x200=79 4x201=75 ASCII \"OK\" | signal 0000 0000 0000 0001");
    EXPECT_EQ(lines[3], "messages 3, path 1 1, path 2 2, path 3 0, path 4 0, not taken 0");
}

TEST_F(EmulateTest, AMessageNoPatternMatchesIsNotTaken) {
    WritePort({{"#*", INTEGER, 1}, {"W(1-5)", INTEGER, 1, 102}});
    const RunResult r = Emulate("W7\nX\x01Y\n");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out;
    EXPECT_EQ(lines[0], "\"W7\" | none: no pattern matched | signal 0000 0000 0000 0000");
    // The control character is accepted only if the port's accept set holds
    // it; the default set holds printable characters only.
    EXPECT_EQ(lines[1], "\"XY\" | none: no pattern matched | signal 0000 0000 0000 0000");
    EXPECT_EQ(lines[2], "messages 2, path 1 0, path 2 0, path 3 0, path 4 0, not taken 2");
}

// The port keeps the first 63 characters and the newest in the 64th place.
TEST_F(EmulateTest, AMessageLongerThanThePortTakesIsCut) {
    std::string message;
    for (int i = 0; i < 70; ++i) message += char('0' + i % 10);
    const std::string kept = message.substr(0, 63) + message.back();
    WritePort({{"A*", ASCII, 1}, {"#*", PACKED, 32, 200}});
    RunResult r = Emulate(message + "\r");
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u) << r.out;
    EXPECT_NE(lines[0].find("\"" + kept + "\" | path 2 "), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("PACKED \"" + kept + "\" | cut to 64 of 70 characters |"),
              std::string::npos)
        << lines[0];

    WritePort({{"#*", INTEGER, 1}});
    r = Emulate(std::string(70, 'A') + "\r");
    ASSERT_EQ(r.status, 0) << r.err;
    lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u) << r.out;
    EXPECT_EQ(lines[0], "\"" + std::string(64, 'A') +
                            "\" | none: too long (70 characters, the port keeps 64), no pattern "
                            "matched | signal 0000 0000 0000 0000");
}

// The end of the input is quiet: a port with a timeout ends the open
// message; one without leaves it open, and says so.
TEST_F(EmulateTest, AMessageOpenAtTheEndNeedsTheTimeout) {
    WritePort({{"*", INTEGER, 1}}, 50);
    RunResult r = Emulate("1\r42");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Lines(r.out).size(), 3u) << r.out;
    EXPECT_NE(r.out.find("\"42\" | path 1 4x101=42 INTEGER 42"), std::string::npos) << r.out;

    WritePort({{"*", INTEGER, 1}}, 0);
    r = Emulate("1\r42");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out;
    EXPECT_EQ(lines[1], "messages 1, path 1 1, path 2 0, path 3 0, path 4 0, not taken 0");
    EXPECT_EQ(lines[2], "left open at the end: \"42\" (no terminator, and port 1 has no timeout)");
}

TEST_F(EmulateTest, JsonGivesOneObjectAMessage) {
    WritePort({{"#*", FLOAT, 2}, {"*", PACKED, 2, 200}});
    const RunResult r = Emulate("12.5\r\nAB\r\n", {"--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u) << r.out;
    const nlohmann::json first = nlohmann::json::parse(lines[0]);
    const uint32_t bits = Ieee(false, 3, 0x480000);
    EXPECT_EQ(first["message"], "12.5");
    EXPECT_EQ(first["path"], 1);
    EXPECT_EQ(first["registers"]["101"], int16_t(bits & 0xFFFF));
    EXPECT_EQ(first["registers"]["102"], int16_t(bits >> 16));
    EXPECT_EQ(first["decoded"][0]["mode"], "FLOAT");
    EXPECT_EQ(first["decoded"][0]["value"], 12.5);
    EXPECT_EQ(first["signal"], 1);
    const nlohmann::json second = nlohmann::json::parse(lines[1]);
    EXPECT_EQ(second["path"], 2);
    EXPECT_EQ(second["registers"]["200"], 'A' << 8 | 'B');
    EXPECT_EQ(second["decoded"][0]["value"], "AB");
    // The summary goes beside the data, so the output stays one object a line.
    EXPECT_EQ(r.err, "messages 2, path 1 1, path 2 1, path 3 0, path 4 0, not taken 0\n");

    WritePort({{"#*", FLOAT, 2}});
    const RunResult none = Emulate("X\n", {"--json"});
    const nlohmann::json untaken = nlohmann::json::parse(Lines(none.out).at(0));
    EXPECT_TRUE(untaken["path"].is_null());
    EXPECT_TRUE(untaken["registers"].empty());
    EXPECT_EQ(untaken["reason"], "no pattern matched");
}

TEST_F(EmulateTest, CsvGivesAHeaderAndOneRowAMessage) {
    WritePort({{"#*", INTEGER, 1}, {"*", ASCII, 1, 200}});
    const RunResult r = Emulate("5\r\n\"\r\n", {"--csv"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "message,path,registers,decoded,reason,signal\n"
              "5,1,4x101=5,INTEGER 5,,1\n"
              "\"\"\"\",2,4x200=34,\"ASCII \"\"\"\"\"\"\",,3\n");
}

// The text form of a file is the same configuration: emulate reads it by
// its content and gives the same messages, registers and summary.
TEST_F(EmulateTest, TheExportedTextOfAFileGivesTheSameOutput) {
    WritePort({{"W=", INTEGER, 1}, {"ID", BCD, 2, 201}, {"*", PACKED, 3, 301}}, 5);
    ASSERT_EQ(Run({"export", Path("PORT.KOV"), Path("port.txt")}).status, 0);
    WriteText("input", "W=-12\r\nID 12345\r\nAB\x01C\r\nopen at the end");
    for (const Args& options : {Args{}, Args{"--json"}, Args{"--csv"}}) {
        const RunResult kov = Run(Join(options, {"emulate", Path("PORT.KOV"), "1", Path("input")}));
        const RunResult text =
            Run(Join(options, {"emulate", Path("port.txt"), "1", Path("input")}));
        ASSERT_EQ(kov.status, 0) << kov.err;
        EXPECT_EQ(text.status, 0) << text.err;
        EXPECT_EQ(Lines(text.out).size(), options.empty() ? 5u : options[0] == "--csv" ? 5u : 4u);
        EXPECT_EQ(text.out, kov.out);
        EXPECT_EQ(text.err, kov.err);
    }
}

TEST_F(EmulateTest, ABadFileOrPortIsBadInput) {
    WritePort({{"*", INTEGER, 1}});
    WriteText("input", "1\r\n");
    WriteText("BAD.KOV", "not a configuration");
    const Args bad[] = {
        {"emulate", Path("PORT.KOV"), "5", Path("input")},
        {"emulate", Path("PORT.KOV"), "0", Path("input")},
        {"emulate", Path("BAD.KOV"), "1", Path("input")},
        {"emulate", Path("MISSING.KOV"), "1", Path("input")},
        {"emulate", Path("PORT.KOV"), "1", Path("missing-input")},
        {"emulate", Path("PORT.KOV")},
        {"--json", "--csv", "emulate", Path("PORT.KOV"), "1", Path("input")},
    };
    for (const Args& args : bad) {
        const RunResult r = Run(args);
        EXPECT_EQ(r.status, 2) << args[1] << " " << args.back();
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err, "");
    }
}

}  // namespace
