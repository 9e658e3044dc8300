// Configuration file layouts, built byte by byte: which layout is taken, which
// fields come from the file and which are cleared, and the bytes written.
#include "config/config_file_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "config/config_defaults.h"

namespace {

// A file under construction; every offset is written out as the file has it.
struct Bytes {
    std::vector<uint8_t> b;
    explicit Bytes(size_t size) : b(size, 0) {}
    void Put16(size_t at, int v) {
        b[at] = uint8_t(v);
        b[at + 1] = uint8_t(unsigned(v) >> 8);
    }
    void Put32(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
    }
    void PutText(size_t at, const char* text) { std::memcpy(&b[at], text, std::strlen(text)); }
};

// Marks in one full port record at base: baud, a pattern, a poll query and the
// poll interval (which lie beyond the short layout).
void PutFullPort(Bytes& f, size_t base, int port) {
    f.Put16(base + 0, 10 + port);
    f.PutText(base + 74, "P1");                 // path 1 pattern
    f.Put16(base + 74 + 130, 100 + port);       // path 1 start register
    f.PutText(base + 74 + 3 * 136 + 65, "M4");  // path 4 mask
    f.PutText(base + 618, "Q1");
    f.PutText(base + 618 + 15 * 65, "Q16");
    f.Put32(base + 1660, 12345u + port);
}

Bytes Versioned(size_t size, int version) {
    Bytes f(size);
    f.Put16(0, version);
    for (int p = 0; p < 4; ++p) PutFullPort(f, 2 + 1664 * p, p);
    f.Put16(6658, 40);  // rack base
    f.Put16(6660, 2);   // print/prog baud
    if (size >= 6686)
        for (int p = 0; p < 4; ++p) {
            f.Put16(6662 + 2 * p, 41 + p);
            f.Put16(6670 + 2 * p, 60 + p);
            f.Put16(6678 + 2 * p, 9000 + p);
        }
    if (size >= 6688) f.Put16(6686, 0x1234);
    return f;
}

Bytes UnversionedFull(size_t size) {
    Bytes f(size);
    for (int p = 0; p < 4; ++p) PutFullPort(f, 1664 * p, p);
    f.Put16(6656, 40);
    f.Put16(6658, 1);
    return f;
}

Bytes UnversionedShort(size_t size) {
    Bytes f(size);
    for (int p = 0; p < 4; ++p) {
        f.Put16(618 * p, 10 + p);
        f.PutText(618 * p + 74, "P1");
        f.Put16(618 * p + 74 + 130, 100 + p);
        f.PutText(618 * p + 74 + 3 * 136 + 65, "M4");
    }
    f.Put16(2472, 40);
    f.Put16(2474, 0);
    return f;
}

struct Expect {
    ConfigLayout layout;
    int16_t version, printProgBaud, reserved;
    bool hasPlus, hasPolls;
};

void CheckDecoded(const Bytes& f, const Expect& e) {
    auto d = DecodeConfigFile(f.b.data(), f.b.size());
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(e.layout, d->layout);
    const ConfigFileContents& c = d->contents;
    EXPECT_EQ(e.version, c.version);
    EXPECT_EQ(40, c.plus.RackBase);
    EXPECT_EQ(e.printProgBaud, c.printProgBaud);
    EXPECT_EQ(e.reserved, c.reserved);
    for (int p = 0; p < 4; ++p) {
        const PortConfig& port = c.ports[p];
        EXPECT_EQ(10 + p, port.BaudRate);
        EXPECT_STREQ("P1", port.Paths[0].Pattern);
        EXPECT_EQ(100 + p, port.Paths[0].StartRegister);
        EXPECT_STREQ("M4", port.Paths[3].Mask);
        EXPECT_STREQ(e.hasPolls ? "Q1" : "", port.PollQueries[0]);
        EXPECT_STREQ(e.hasPolls ? "Q16" : "", port.PollQueries[15]);
        EXPECT_EQ(e.hasPolls ? 12345u + p : 0u, port.PollInterval);
        EXPECT_EQ(e.hasPlus ? 41 + p : 0, c.plus.TriggerInhibit[p]);
        EXPECT_EQ(e.hasPlus ? 60 + p : 0, c.plus.TerminateCount[p]);
        EXPECT_EQ(e.hasPlus ? 9000 + p : 0, c.plus.TerminateTimeout[p]);
    }
}

TEST(ConfigFileLayouts, EachLayoutIsRecognised) {
    struct Case {
        const char* name;
        Bytes file;
        Expect expect;
    } kCases[] = {
        {"1113", Versioned(6688, 1113), {ConfigLayout::V1113, 1113, 2, 0x1234, true, true}},
        {"1113 with trailing bytes",
         Versioned(7000, 1113),
         {ConfigLayout::V1113, 1113, 2, 0x1234, true, true}},
        {"1112 word on a 6688-byte file",
         Versioned(6688, 1112),
         {ConfigLayout::V1112, 1112, 2, 0, true, true}},
        {"1112", Versioned(6686, 1112), {ConfigLayout::V1112, 1112, 2, 0, true, true}},
        {"1111", Versioned(6662, 1111), {ConfigLayout::V1111, 1111, 2, 0, false, true}},
        {"1111 word on a 6688-byte file",
         Versioned(6688, 1111),
         {ConfigLayout::V1111, 1111, 2, 0, false, true}},
        {"unversioned full",
         UnversionedFull(6660),
         {ConfigLayout::UnversionedFull, 0, 1, 0, false, true}},
        {"unversioned short",
         UnversionedShort(2476),
         {ConfigLayout::UnversionedShort, 0, 0, 0, false, false}},
    };
    for (auto& k : kCases) {
        SCOPED_TRACE(k.name);
        CheckDecoded(k.file, k.expect);
    }
}

// A file that opens with one of the version words is read by that version's
// layout or not at all: one byte short must not pass for an unversioned file
// with every field two bytes off.
TEST(ConfigFileLayouts, TruncatedVersionedFilesAreRefused) {
    struct Case {
        int version;
        size_t size;
    } kCases[] = {{1113, 6687}, {1113, 6660}, {1113, 2476}, {1112, 6685},
                  {1112, 6662}, {1111, 6661}, {1111, 2476}};
    for (const Case& k : kCases) {
        Bytes f = Versioned(kConfigFileSize, k.version);
        f.b.resize(k.size);
        EXPECT_FALSE(DecodeConfigFile(f.b.data(), f.b.size()).has_value())
            << k.version << " in " << k.size << " bytes";
        const size_t needed = k.version == 1113 ? 6688 : k.version == 1112 ? 6686 : 6662;
        EXPECT_EQ(VersionedLayoutSize(f.b.data(), f.b.size()), needed);
    }
}

TEST(ConfigFileLayouts, ShortFilesAreRefused) {
    for (size_t size : {size_t(0), size_t(1), size_t(2), size_t(618), size_t(2475)}) {
        Bytes f(size);
        EXPECT_FALSE(DecodeConfigFile(f.b.data(), f.b.size()).has_value()) << size;
    }
    Bytes exact(2476);
    EXPECT_TRUE(DecodeConfigFile(exact.b.data(), exact.b.size()).has_value());
}

TEST(ConfigFileLayouts, WritesTheCurrentLayoutByteForByte) {
    ModuleConfig config;
    FillDefaults(config);
    ConfigFileContents c;
    c.version = 7;  // whatever was read, 1113 is written
    c.plus = config.Plus;
    std::memcpy(c.ports, config.Ports, sizeof c.ports);
    c.plus.RackBase = 0x0102;
    for (int p = 0; p < 4; ++p) {
        c.plus.TriggerInhibit[p] = int16_t(0x1100 + p);
        c.plus.TerminateCount[p] = int16_t(0x2200 + p);
        c.plus.TerminateTimeout[p] = int16_t(0x3300 + p);
        c.ports[p].PollInterval = 0xA0B0C0D0u + p;
        c.ports[p].Reserved[0] = uint8_t(0xE0 + p);
    }
    c.printProgBaud = 3;
    c.reserved = -2;
    std::vector<uint8_t> out = EncodeConfigFile(c);
    ASSERT_EQ(6688u, out.size());
    auto at16 = [&](size_t i) { return int(out[i] | out[i + 1] << 8); };
    EXPECT_EQ(0x0459, at16(0));
    EXPECT_EQ(13, at16(2));             // port 1 baud
    EXPECT_EQ(13, at16(2 + 3 * 1664));  // port 4 baud
    EXPECT_EQ(0xFF, out[2 + 10 + 4]);   // accept set byte 4
    EXPECT_EQ(0x24, out[2 + 42 + 1]);   // terminate set byte 1
    EXPECT_EQ('*', out[2 + 74]);        // path 1 pattern
    EXPECT_EQ(0xE3, out[2 + 3 * 1664 + 1658]);
    EXPECT_EQ(0xD3, out[2 + 3 * 1664 + 1660]);
    EXPECT_EQ(0xA0, out[2 + 3 * 1664 + 1663]);
    EXPECT_EQ(0x0102, at16(6658));
    EXPECT_EQ(3, at16(6660));
    EXPECT_EQ(0x1100, at16(6662));
    EXPECT_EQ(0x1103, at16(6668));
    EXPECT_EQ(0x2200, at16(6670));
    EXPECT_EQ(0x3303, at16(6684));
    EXPECT_EQ(0xFFFE, at16(6686));
}

TEST(ConfigFileLayouts, RoundTripKeepsEverything) {
    ConfigFileContents c;
    auto* raw = reinterpret_cast<uint8_t*>(c.ports);
    for (size_t i = 0; i < sizeof c.ports; ++i) raw[i] = uint8_t(i * 7 + 3);
    c.plus = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, 300};
    c.printProgBaud = 1;
    c.reserved = 99;
    std::vector<uint8_t> out = EncodeConfigFile(c);
    auto d = DecodeConfigFile(out.data(), out.size());
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(ConfigLayout::V1113, d->layout);
    EXPECT_EQ(1113, d->contents.version);
    EXPECT_EQ(0, std::memcmp(c.ports, d->contents.ports, sizeof c.ports));
    EXPECT_EQ(0, std::memcmp(&c.plus, &d->contents.plus, sizeof c.plus));
    EXPECT_EQ(1, d->contents.printProgBaud);
    EXPECT_EQ(99, d->contents.reserved);
}

// Whatever layout a document was read from, saving it writes the current
// layout holding every field it had, and reading that back gives the same
// document.
TEST(ConfigFileLayouts, EveryLayoutsDocumentSurvivesASaveAndNothingElseIsTouched) {
    const Bytes files[] = {Versioned(6688, 1113), Versioned(6686, 1112), Versioned(6662, 1111),
                           UnversionedFull(6660), UnversionedShort(2476)};
    for (const Bytes& f : files) {
        auto read = DecodeConfigFile(f.b.data(), f.b.size());
        ASSERT_TRUE(read.has_value());
        SCOPED_TRACE(read->contents.version);
        const ConfigFileContents& doc = read->contents;
        const ModuleConfig config = ModuleConfigOf(doc);
        EXPECT_EQ(0, std::memcmp(&config.Plus, &doc.plus, sizeof config.Plus));
        EXPECT_EQ(0, std::memcmp(config.Ports, doc.ports, sizeof config.Ports));

        const ConfigFileContents again = DocumentOf(config, doc.printProgBaud, doc.reserved);
        const std::vector<uint8_t> saved = EncodeConfigFile(again);
        EXPECT_EQ(saved, EncodeConfigFile(doc));
        auto back = DecodeConfigFile(saved.data(), saved.size());
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(ConfigLayout::V1113, back->layout);
        EXPECT_EQ(kConfigFileVersion, back->contents.version);
        EXPECT_EQ(0, std::memcmp(doc.ports, back->contents.ports, sizeof doc.ports));
        EXPECT_EQ(0, std::memcmp(&doc.plus, &back->contents.plus, sizeof doc.plus));
        EXPECT_EQ(doc.printProgBaud, back->contents.printProgBaud);
        EXPECT_EQ(doc.reserved, back->contents.reserved);
    }
}

}  // namespace
