// The settings record as file bytes: the default sets chosen by the startup
// file's name, and decoding of short, exact and long files.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "setup/link_setup.h"

namespace {

struct Word {
    size_t offset;
    uint16_t value;
};

// A file image written word by word, independently of the record's layout.
std::vector<uint8_t> ImageOf(std::initializer_list<Word> words, const char* editor) {
    std::vector<uint8_t> bytes(150, 0);
    for (const Word& w : words) {
        bytes[w.offset] = uint8_t(w.value & 0xFF);
        bytes[w.offset + 1] = uint8_t(w.value >> 8);
    }
    std::memcpy(&bytes[48], editor, std::strlen(editor));
    return bytes;
}

// Offsets: type 0, link baud 6, link data bits 8, parity 12, route count 16,
// first drop 18, terminal baud 40, terminal data bits 42, status registers 92,
// screen size 94, start register 96, identify 98, timeout 102, TCP port 104.
const std::vector<uint8_t> kSet1 = ImageOf({{0, 1},
                                            {6, 13},
                                            {8, 1},
                                            {12, 1},
                                            {40, 13},
                                            {42, 1},
                                            {94, 20},
                                            {96, 1},
                                            {102, 500},
                                            {104, 502}},
                                           "EDIT.COM");
const std::vector<uint8_t> kSet2 = ImageOf({{0, 4},
                                            {6, 13},
                                            {8, 1},
                                            {12, 1},
                                            {16, 1},
                                            {18, 1},  // slave 1: 255 is no RTU address
                                            {40, 13},
                                            {42, 1},
                                            {94, 20},
                                            {96, 1},
                                            {102, 500},
                                            {104, 502}},
                                           "EDIT.COM");
const std::vector<uint8_t> kSet3 = ImageOf({{0, 1},
                                            {6, 13},
                                            {8, 1},
                                            {12, 1},
                                            {16, 1},
                                            {18, 201},
                                            {40, 13},
                                            {42, 1},
                                            {92, 1},
                                            {94, 20},
                                            {96, 1},
                                            {98, 1},
                                            {102, 500},
                                            {104, 504}},
                                           "EDIT.COM");

TEST(SetupRecord, DefaultSetChosenByTheStartupName) {
    struct Case {
        const char* name;
        const std::vector<uint8_t>* image;
    } cases[] = {
        {"KOVASW.STP", &kSet1}, {"KD22X.STP", &kSet3},  {"KD22XA.STP", &kSet3},
        {"HOLV.STP", &kSet2},   {"HOLVX1.STP", &kSet2}, {"LXN.STP", &kSet2},
        {"LX.STP", &kSet1},     {"kd22x.stp", &kSet1},  {"", &kSet1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(*c.image, EncodeSetup(DefaultSetupFor(c.name))) << c.name;
    }
}

TEST(SetupRecord, FieldsSitAtTheirFileOffsets) {
    LinkSetup s{};
    s.LinkPort = 0x0102;
    s.LinkReserved = 0x0304;
    s.ErrorCheck = 1;
    s.Route[9] = 0x0A0B;
    s.TerminalPort = 7;
    s.TerminalParity = 2;
    std::strcpy(s.TcpHost, "plc.example");
    s.ViewerRegisterSet = 1;
    s.TrapErrors = 1;
    auto b = EncodeSetup(s);
    ASSERT_EQ(150u, b.size());
    struct Case {
        size_t offset;
        uint8_t low, high;
    } cases[] = {{2, 2, 1},  {4, 4, 3},  {14, 1, 0},  {36, 0x0B, 0x0A},
                 {38, 7, 0}, {46, 2, 0}, {100, 1, 0}, {148, 1, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.low, b[c.offset]) << c.offset;
        EXPECT_EQ(c.high, b[c.offset + 1]) << c.offset;
    }
    EXPECT_EQ("plc.example", std::string(reinterpret_cast<const char*>(&b[106])));
}

TEST(SetupRecord, DecodingTakesTheFirst150Bytes) {
    std::vector<uint8_t> file = kSet3;
    file.push_back(0xEE);  // extra bytes are ignored
    auto decoded = DecodeSetup(file.data(), file.size());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(kSet3, EncodeSetup(*decoded));
    EXPECT_FALSE(DecodeSetup(file.data(), 149));
    EXPECT_FALSE(DecodeSetup(file.data(), 0));
}

TEST(SetupRecord, LinkBaudRateFollowsTheListIndex) {
    struct Case {
        int16_t index;
        int32_t baud;
    } cases[] = {{0, 50},      {3, 135},     {5, 300},     {13, 9600},
                 {15, 19200},  {16, 38400},  {17, 57600},  {18, 115200},
                 {19, 230400}, {20, 460800}, {21, 921600}, {22, 0},
                 {-1, 0}};
    for (const auto& c : cases) {
        LinkSetup s = DefaultSetupFor("KOVASW.STP");
        s.LinkBaud = c.index;
        EXPECT_EQ(c.baud, LinkBaudRate(s)) << c.index;
        // A file holds only rates of the list, for the link and the terminal alike.
        EXPECT_EQ(c.baud != 0, SetupBaudsInList(s)) << c.index;
        s.LinkBaud = 13;
        s.TerminalBaud = c.index;
        EXPECT_EQ(c.baud != 0, SetupBaudsInList(s)) << c.index;
    }
}

}  // namespace
