// The text form of a configuration: an export imports to the same bytes for
// every layout and every kind of value, a bad text is refused with its line
// and field, a field left out takes its default and says so, and a text
// written by hand lands in the bytes the file layout gives each field.
#include "config/config_text.h"

#include <gtest/gtest.h>

#include <cstring>

#include "config/config_defaults.h"
#include "config/config_fields.h"
#include "config/config_file_image.h"
#include "listed_config.h"

namespace {

ConfigFileContents Defaults() {
    ModuleConfig config;
    FillDefaults(config);
    return DocumentOf(config, 3, 0);
}

// Every byte through the text and back; the file of the layout compared.
void ExpectRoundTrip(const ConfigFileContents& contents, ConfigLayout layout) {
    const std::vector<uint8_t> bytes = EncodeConfigFileAs(contents, layout);
    const auto decoded = DecodeConfigFile(bytes.data(), bytes.size());
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->layout, layout);
    for (TextFormat format : {TextFormat::Toml, TextFormat::Json}) {
        const std::string text = ExportConfigText(*decoded, format);
        const ImportedConfig imported = ImportConfigText(text, "t", true);
        ASSERT_TRUE(imported.config) << (imported.errors.empty() ? "" : imported.errors[0]) << "\n"
                                     << text;
        EXPECT_TRUE(imported.notes.empty());
        EXPECT_EQ(imported.config->layout, layout);
        EXPECT_EQ(EncodeConfigFileAs(imported.config->contents, layout), bytes) << text;
    }
}

// Every list value somewhere: list index i of each list on port i % 4, path.
ConfigFileContents EveryListValue(int offset) {
    ConfigFileContents c = Defaults();
    c.printProgBaud = int16_t(offset % 4);
    for (int p = 0; p < 4; ++p) {
        const int i = 4 * offset + p;
        PortConfig& port = c.ports[p];
        port.BaudRate = int16_t(i % 16);
        port.DataBits = int16_t(i % 2);
        port.Parity = int16_t(i % 3);
        port.StopBits = int16_t((i + 1) % 2);
        port.Capitalize = int16_t(i % 2);
        for (int k = 0; k < 4; ++k) {
            port.Paths[k].EditingMode = uint8_t((i + k) % 8);
            port.Paths[k].Continue = uint8_t((i + k) % 2);
        }
    }
    return c;
}

// Every code 1-255 in every text field, 64 characters each, and bytes after
// the terminator (the tail a shortened text leaves) in some.
ConfigFileContents ControlCharacters() {
    ConfigFileContents c = Defaults();
    int code = 1;
    auto fill = [&](char(&field)[65], bool tail) {
        for (int i = 0; i < 64; ++i, code = code % 255 + 1) field[i] = char(code);
        field[64] = 0;
        if (tail) field[3] = 0;
    };
    for (int p = 0; p < 4; ++p) {
        for (int k = 0; k < 4; ++k) {
            fill(c.ports[p].Paths[k].Pattern, k == 1);
            fill(c.ports[p].Paths[k].Mask, false);
        }
        for (int q = 0; q < 16; ++q) fill(c.ports[p].PollQueries[q], q == 7);
    }
    return c;
}

ConfigFileContents CharSets() {
    ConfigFileContents c = Defaults();
    std::memset(c.ports[0].AcceptSet, 0xFF, 32);  // all 256
    std::memset(c.ports[0].TerminateSet, 0, 32);  // none
    std::memset(c.ports[1].AcceptSet, 0x55, 32);  // every other code
    std::memset(c.ports[1].TerminateSet, 0xAA, 32);
    for (unsigned code : {0u, 1u, 2u, 34u, 45u, 92u, 127u, 128u, 254u, 255u})
        CharSetPut(c.ports[2].AcceptSet, code, true);
    CharSetPut(c.ports[3].TerminateSet, '-', true);
    CharSetPut(c.ports[3].TerminateSet, ',', true);
    CharSetPut(c.ports[3].TerminateSet, '.', true);
    return c;
}

// The words kept as read and the numbers at their limits.
ConfigFileContents KeptWords() {
    ConfigFileContents c = DocumentOf(ListedConfig(), 1, -2);
    c.ports[0].Reserved[0] = 0xFE;
    c.ports[3].Reserved[1] = 0x01;
    c.ports[2].PollInterval = 99999900;
    c.ports[2].Paths[3].Continue = 1;  // path 4 has none, but a file may hold one
    c.plus.TriggerInhibit[3] = 10238;
    c.plus.TerminateCount[2] = 80;
    c.plus.TerminateTimeout[1] = 9999;
    c.plus.RackBase = 8191;
    c.ports[1].Paths[2].StartRegister = 8192;
    c.ports[1].Paths[2].RegisterCount = 64;
    return c;
}

constexpr ConfigLayout kLayouts[] = {ConfigLayout::V1113, ConfigLayout::V1112, ConfigLayout::V1111,
                                     ConfigLayout::UnversionedFull, ConfigLayout::UnversionedShort};

TEST(ConfigTextTest, AnExportImportsToTheSameBytesInEveryLayout) {
    const struct {
        const char* name;
        ConfigFileContents contents;
    } kCases[] = {{"defaults", Defaults()},
                  {"listed", DocumentOf(ListedConfig(), 2, 0)},
                  {"list values 0", EveryListValue(0)},
                  {"list values 1", EveryListValue(1)},
                  {"list values 2", EveryListValue(2)},
                  {"list values 3", EveryListValue(3)},
                  {"control characters", ControlCharacters()},
                  {"character sets", CharSets()},
                  {"kept words", KeptWords()}};
    for (const auto& c : kCases)
        for (ConfigLayout layout : kLayouts) {
            SCOPED_TRACE(std::string(c.name) + ", " + LayoutName(layout));
            ExpectRoundTrip(c.contents, layout);
        }
}

TEST(ConfigTextTest, AnExportNamesListValuesByTheirTextsAndEscapesControlCharacters) {
    DecodedConfig d{ConfigLayout::V1113, DocumentOf(ListedConfig(), 2, 0)};
    const std::string text = ExportConfigText(d, TextFormat::Toml);
    for (const char* line :
         {"\nparity = \"ODD\"\n", "\nbaud_rate = \"134.5\"\n", "\nediting_mode = \"IDEC\"\n",
          "\npattern = \"\\u0002AB*\\r\"  # <STX>AB*<CR>\n", "\n    \"@001004D\\r\\n\",\n",
          "\naccept = [\"\\r\", \" -\\u007F\", \"\\u00A0-\\u00FF\"]\n", "\nlayout = \"1113\""})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
}

// The JSON export carries the same values as the TOML, for scripts.
TEST(ConfigTextTest, TheJsonExportHoldsTheSameValues) {
    DecodedConfig d{ConfigLayout::V1112, DocumentOf(ListedConfig(), 2, 0)};
    const std::string json = ExportConfigText(d, TextFormat::Json);
    for (const char* part : {"\"layout\": \"1112\",", "\"rack_base\": 100,",
                             "\"pattern\": \"\\u0002AB*\\r\",", "\"poll_interval\": 250,"})
        EXPECT_NE(json.find(part), std::string::npos) << part << "\n" << json;
    EXPECT_EQ(json.find("\"reserved\": -"), std::string::npos);  // 1112 has no reserved word
    EXPECT_EQ(json.front(), '{');
    EXPECT_EQ(json.substr(json.size() - 2), "}\n");
}

// A correct text to spoil one line at a time.
const char* const kGood = R"(layout = "1113"
print_prog_baud = "9600"
rack_base = 1
reserved = 0

[[port]]
baud_rate = "9600"
parity = "EVEN"
accept = [" -~"]

[[port.path]]
pattern = "*"
register_count = 2
)";

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

TEST(ConfigTextTest, ABadTextIsRefusedNamingLineAndField) {
    const struct {
        const char* from;
        std::string to;
        const char* message;
    } kCases[] = {
        {"register_count = 2", "register_count = 65",
         "plant.toml:13: port 1 path 1 register_count = 65: out of range 0-64"},
        {"rack_base = 1", "rack_base = 0", "plant.toml:3: rack_base = 0: out of range 1-8191"},
        {"parity = \"EVEN\"", "parity = \"EVN\"",
         "plant.toml:8: port 1 parity = \"EVN\": not one of \"NONE\", \"ODD\", \"EVEN\" or 0-2"},
        {"parity = \"EVEN\"", "parity = 3", "plant.toml:8: port 1 parity = 3: out of range 0-2"},
        {"parity = \"EVEN\"", "parity = 2.5",
         "plant.toml:8: port 1 parity: not one of \"NONE\", \"ODD\", \"EVEN\" or 0-2"},
        {"baud_rate = \"9600\"", "baud_rat = \"9600\"",
         "plant.toml:7: port 1 baud_rat: unknown field"},
        {"reserved = 0\n", "reserved = 0\nflavour = 1\n", "plant.toml:5: flavour: unknown field"},
        {"rack_base = 1", "rack_base = 1\nrack_base = 2",
         "plant.toml:4: Error while parsing key-value pair: cannot redefine existing integer "
         "'rack_base'"},
        {"rack_base = 1", "rack_base = \"1\"", "plant.toml:3: rack_base: not a whole number"},
        {"pattern = \"*\"", "pattern = \"" + std::string(65, 'x') + "\"",
         "plant.toml:12: port 1 path 1 pattern: 65 characters: too long, at most 64"},
        {"pattern = \"*\"", "pattern = \"\\u20AC\"",
         "plant.toml:12: port 1 path 1 pattern: character U+20AC is not one byte (U+0000-U+00FF)"},
        {"pattern = \"*\"", "pattern = 5", "plant.toml:12: port 1 path 1 pattern: not a string"},
        {"accept = [\" -~\"]", "accept = [\"abc\"]",
         "plant.toml:9: port 1 accept: expected a character, a range such as \"a-z\" or a code "
         "0-255"},
        {"accept = [\" -~\"]", "accept = [\"z-a\"]",
         "plant.toml:9: port 1 accept: range \"z-a\" runs backwards"},
        {"accept = [\" -~\"]", "accept = [256]",
         "plant.toml:9: port 1 accept: expected a character, a range such as \"a-z\" or a code "
         "0-255"},
        {"layout = \"1113\"", "layout = \"1114\"",
         "plant.toml:1: layout: not one of \"1113\", \"1112\", \"1111\", \"unversioned\", "
         "\"unversioned short\""},
        {"layout = \"1113\"", "layout = \"1111\"",
         "plant.toml:4: reserved: the layout 1111 does not hold it"},
        {"[[port.path]]", "poll_queries = [\"a\", 1]\n[[port.path]]",
         "plant.toml:11: port 1 poll_queries 2: not a string"},
        {"[[port.path]]\npattern = \"*\"\nregister_count = 2\n", "path = 3\n",
         "plant.toml:11: port 1 path: expected [[path]] tables"},
        {"rack_base = 1", "rack_base = [", "plant.toml:4: Error while parsing"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.to);
        const std::string to = c.to;
        const ImportedConfig imported =
            ImportConfigText(Replaced(kGood, c.from, to), "plant.toml", false);
        EXPECT_FALSE(imported.config);
        ASSERT_FALSE(imported.errors.empty());
        EXPECT_EQ(imported.errors[0].substr(0, std::strlen(c.message)), c.message);
    }
}

TEST(ConfigTextTest, AFifthPortOrPathIsRefused) {
    std::string text = kGood;
    for (int i = 0; i < 4; ++i) text += "[[port.path]]\n";
    ImportedConfig imported = ImportConfigText(text, "p.toml", false);
    ASSERT_FALSE(imported.errors.empty());
    EXPECT_EQ(imported.errors[0], "p.toml:17: port 1 path 5: there are only 4");
    text = kGood;
    for (int i = 0; i < 4; ++i) text += "[[port]]\n";
    imported = ImportConfigText(text, "p.toml", false);
    ASSERT_FALSE(imported.errors.empty());
    EXPECT_EQ(imported.errors[0], "p.toml:17: port 5: there are only 4");
}

TEST(ConfigTextTest, AFieldLeftOutTakesTheDefaultAndSaysSoOrIsRefusedWhenStrict) {
    const ImportedConfig loose = ImportConfigText(kGood, "p.toml", false);
    ASSERT_TRUE(loose.config) << loose.errors[0];
    const ConfigFileContents defaults = Defaults();
    ConfigFileContents expected = defaults;
    expected.ports[0].Parity = 2;
    std::memset(expected.ports[0].AcceptSet, 0, 32);
    for (unsigned c = ' '; c <= '~'; ++c) CharSetPut(expected.ports[0].AcceptSet, c, true);
    expected.ports[0].Paths[0].RegisterCount = 2;
    EXPECT_EQ(EncodeConfigFile(loose.config->contents), EncodeConfigFile(expected));
    const std::vector<std::string> notes(loose.notes.begin(), loose.notes.begin() + 3);
    EXPECT_EQ(notes, (std::vector<std::string>{
                         "p.toml: port 1 data_bits: left out, taking the default",
                         "p.toml: port 1 stop_bits: left out, taking the default",
                         "p.toml: port 1 capitalize: left out, taking the default"}));
    EXPECT_NE(std::find(loose.notes.begin(), loose.notes.end(),
                        "p.toml: port 2: left out, taking the default"),
              loose.notes.end());
    EXPECT_NE(std::find(loose.notes.begin(), loose.notes.end(),
                        "p.toml: port 1 path 2: left out, taking the default"),
              loose.notes.end());

    const ImportedConfig strict = ImportConfigText(kGood, "p.toml", true);
    EXPECT_FALSE(strict.config);
    ASSERT_FALSE(strict.errors.empty());
    EXPECT_EQ(strict.errors[0], "p.toml:6: port 1 data_bits: left out (--strict)");
}

// The bytes of a file read by their offsets in the layout, not through the
// record's structs.
int16_t Word(const std::vector<uint8_t>& b, size_t at) { return int16_t(b[at] | b[at + 1] << 8); }
constexpr size_t kPort = 2, kPortSize = 1664, kPathAt = 74, kPathSize = 136;
size_t PortAt(int p) { return kPort + kPortSize * size_t(p); }
size_t PathAt(int p, int k) { return PortAt(p) + kPathAt + kPathSize * size_t(k); }
std::string Text(const std::vector<uint8_t>& b, size_t at) {
    return std::string(reinterpret_cast<const char*>(&b[at]),
                       strnlen(reinterpret_cast<const char*>(&b[at]), 65));
}

TEST(ConfigTextTest, AHandWrittenTextLandsWhereTheFileLayoutPutsEachField) {
    const char* const text = R"(# port 2: a scale polled every 2.5 s
layout = "1113"
print_prog_baud = "2400"
rack_base = 100
reserved = 7

[[port]]
[[port]]
baud_rate = "19200"
data_bits = 0          # 7 bits, by the list index
parity = "ODD"
stop_bits = "2"
capitalize = "YES"
terminate_count = 12
terminate_timeout = 300
trigger_inhibit = 117
accept = ["0-9", ".", "\r", 200]
terminate = ["\u0003"]
poll_interval = 250
poll_queries = ["", "SI\r\n"]
reserved = 513

[[port.path]]
[[port.path]]
pattern = "\u0002S *#.### kg"
mask = "__\u001B__"
start_register = 130
register_count = 64
editing_mode = "FLOAT"
continue = "YES"
)";
    const ImportedConfig imported = ImportConfigText(text, "h.toml", false);
    ASSERT_TRUE(imported.config) << imported.errors[0];
    const std::vector<uint8_t> b =
        EncodeConfigFileAs(imported.config->contents, ConfigLayout::V1113);
    ASSERT_EQ(b.size(), 6688u);
    EXPECT_EQ(Word(b, 0), 1113);
    EXPECT_EQ(Word(b, 6658), 100);      // rack base
    EXPECT_EQ(Word(b, 6660), 2);        // Print/Prog 2400
    EXPECT_EQ(Word(b, 6662 + 2), 117);  // port 2's Trigger/Inhibit
    EXPECT_EQ(Word(b, 6670 + 2), 12);   // terminate count
    EXPECT_EQ(Word(b, 6678 + 2), 300);  // terminate timeout
    EXPECT_EQ(Word(b, 6686), 7);
    const size_t p2 = PortAt(1);
    EXPECT_EQ(Word(b, p2), 15);     // 19200
    EXPECT_EQ(Word(b, p2 + 2), 0);  // 7 bits
    EXPECT_EQ(Word(b, p2 + 4), 1);  // ODD
    EXPECT_EQ(Word(b, p2 + 6), 1);  // 2 stop bits
    EXPECT_EQ(Word(b, p2 + 8), 1);
    // Accept: '0'-'9' (codes 48-57) are bits 0-7 of byte 6 and 0-1 of byte 7,
    // '.' is bit 6 of byte 5, CR bit 5 of byte 1, 200 bit 0 of byte 25.
    const uint8_t* accept = &b[p2 + 10];
    EXPECT_EQ(accept[1], 0x20);
    EXPECT_EQ(accept[5], 0x40);
    EXPECT_EQ(accept[6], 0xFF);
    EXPECT_EQ(accept[7], 0x03);
    EXPECT_EQ(accept[25], 0x01);
    int set = 0;
    for (int i = 0; i < 32; ++i) set += __builtin_popcount(accept[i]);
    EXPECT_EQ(set, 13);
    EXPECT_EQ(b[p2 + 42], 0x08);  // terminate: ETX
    EXPECT_EQ(Text(b, p2 + 618), "");
    EXPECT_EQ(Text(b, p2 + 618 + 65), "SI\r\n");
    EXPECT_EQ(Word(b, p2 + 1658), 513);
    EXPECT_EQ(uint32_t(Word(b, p2 + 1660)) | uint32_t(Word(b, p2 + 1662)) << 16, 250u);
    const size_t path = PathAt(1, 1);
    EXPECT_EQ(Text(b, path), "\x02S *#.### kg");
    EXPECT_EQ(Text(b, path + 65), "__\x1b__");
    EXPECT_EQ(b[path + 65 + 6], 0);  // nothing after the mask's end
    EXPECT_EQ(Word(b, path + 130), 130);
    EXPECT_EQ(Word(b, path + 132), 64);
    EXPECT_EQ(b[path + 134], 3);  // FLOAT
    EXPECT_EQ(b[path + 135], 1);
    // Port 1 and port 2's first path were left out: the defaults.
    EXPECT_EQ(Text(b, PathAt(1, 0)), "*");
    EXPECT_EQ(Word(b, PathAt(1, 0) + 130), 2 + 4);  // rack base 1's default for port 2
    EXPECT_EQ(Word(b, PortAt(0)), 13);
}

// JSON written by hand for a script: the same checks, the fields named
// without lines (JSON keeps none), a parse error with its line.
TEST(ConfigTextTest, AHandWrittenJsonLandsInTheFileAndIsCheckedAsTheToml) {
    const char* const json = R"({
  "layout": "1112",
  "rack_base": 300,
  "port": [
    {"parity": "EVEN", "terminate": ["\u0003", 10], "terminate_count": 40,
     "path": [{"pattern": "\u0002*", "register_count": 3, "editing_mode": 4}]}
  ]
})";
    const ImportedConfig imported = ImportConfigText(json, "s.json", false);
    ASSERT_TRUE(imported.config) << imported.errors[0];
    const std::vector<uint8_t> b =
        EncodeConfigFileAs(imported.config->contents, imported.config->layout);
    ASSERT_EQ(b.size(), 6686u);
    EXPECT_EQ(Word(b, 0), 1112);
    EXPECT_EQ(Word(b, 6658), 300);
    EXPECT_EQ(Word(b, 6670), 40);            // port 1's terminate count
    EXPECT_EQ(Word(b, PortAt(0) + 4), 2);    // EVEN
    EXPECT_EQ(b[PortAt(0) + 42], 0x08);      // ETX
    EXPECT_EQ(b[PortAt(0) + 42 + 1], 0x04);  // LF
    EXPECT_EQ(Text(b, PathAt(0, 0)), "\x02*");
    EXPECT_EQ(Word(b, PathAt(0, 0) + 132), 3);
    EXPECT_EQ(b[PathAt(0, 0) + 134], 4);  // BCD

    const struct {
        std::string text;
        const char* message;
    } kBad[] = {
        {R"({"rack_base": 1, "rack_base": 2})", "s.json: rack_base: given twice in one table"},
        {R"({"port": [{"path": [{"register_count": 65}]}]})",
         "s.json: port 1 path 1 register_count = 65: out of range 0-64"},
        {R"({"port": [{"parity": null}]})",
         "s.json: port 1 parity: not one of \"NONE\", \"ODD\", \"EVEN\" or 0-2"},
        {"{\n  \"rack_base\": 1,\n  \"port\": [\n}", "s.json:4: "},
    };
    for (const auto& c : kBad) {
        SCOPED_TRACE(c.text);
        const ImportedConfig bad = ImportConfigText(c.text, "s.json", false);
        EXPECT_FALSE(bad.config);
        ASSERT_FALSE(bad.errors.empty());
        EXPECT_EQ(bad.errors[0].substr(0, std::strlen(c.message)), c.message);
    }
}

// A key as a tag of the manual: ".B key" or one of ".BR key \", \" key".
bool Documented(const std::string& schema, const std::string& key) {
    for (size_t at = 0; (at = schema.find(key, at)) != std::string::npos; ++at) {
        const char before = at > 0 ? schema[at - 1] : '\n';
        const char after = at + key.size() < schema.size() ? schema[at + key.size()] : '\n';
        if (before == ' ' && (after == '\n' || after == ' ')) return true;
    }
    return false;
}

// The manual's schema names every field of the table and every list text,
// so that a new row cannot go undocumented.
TEST(ConfigTextTest, TheManualDocumentsEveryFieldAndListText) {
    const std::string page = ReadFile(std::string(KOVA_SOURCE_DIR) + "/man/kova-config.1");
    const size_t from = page.find(".SH TEXT FORM"), to = page.find(".SH FILES");
    ASSERT_NE(from, std::string::npos);
    const std::string schema = page.substr(from, to - from);
    for (const ConfigField* f = ConfigFieldsBegin(); f != ConfigFieldsEnd(); ++f) {
        EXPECT_TRUE(Documented(schema, f->key)) << f->key;
        for (int i = 0; i < ListLength(*f); ++i)
            EXPECT_NE(schema.find("\"" + TrimmedText(f->texts[i]) + "\""), std::string::npos)
                << f->key << " " << f->texts[i];
    }
}

}  // namespace
