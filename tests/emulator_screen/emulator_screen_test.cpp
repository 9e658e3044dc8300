// The emulator screen on the in-memory console: typed and hex-entered
// messages, the ways a message ends, and what the screen then shows. F1 in
// the message loop runs the F1 hot key, which these tests bind to a snapshot
// of the screen image.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/screen_image.h"
#include "config/config_documents.h"
#include "config/module_config.h"
#include "emulator/register_image.h"
#include "emulator_screen/emulator.h"
#include "ui/console/memory_console.h"
#include "ui/console/keys.h"
#include "ui/screen.h"
#include "ui/screen_state.h"

namespace {

constexpr uint8_t kF1 = 59, kF2 = 60, kF3 = 61, kF10 = 68, kInsert = 82;

struct Snapshot {
    std::vector<std::string> rows;  // 1-based: rows[1] is screen row 1
    std::vector<std::string> attrs;
    std::string Row(int r) const { return rows[r]; }
    std::string Trimmed(int r) const {
        std::string s = rows[r];
        while (!s.empty() && s.back() == ' ') s.pop_back();
        return s;
    }
};

std::vector<Snapshot> gSnapshots;

int TakeSnapshot(int, int) {
    Snapshot s;
    s.rows.resize(26);
    s.attrs.resize(26);
    for (int r = 1; r <= 25; ++r) {
        s.rows[r] = ImageText(r);
        for (int c = 0; c < 80; ++c) s.attrs[r] += char('0' + ScreenAttr(r - 1, c));
    }
    gSnapshots.push_back(s);
    return 0;
}

// A port as a fresh configuration has it: printable characters accepted,
// CR and LF (and their eighth-bit forms) end a message, path 1 takes the
// whole message as an integer into the port's first register.
void DefaultPort(PortConfig& p, int port) {
    p = PortConfig{};
    std::memset(p.AcceptSet + 4, 0xFF, 12);
    std::memset(p.AcceptSet + 20, 0xFF, 12);
    p.TerminateSet[1] = 0x24;
    p.TerminateSet[17] = 0x24;
    for (int k = 0; k < 4; ++k) {
        std::memset(p.Paths[k].Mask, '_', 64);
        p.Paths[k].StartRegister = int16_t(2 + 4 * port + k);
    }
    std::strcpy(p.Paths[0].Pattern, "*");
    p.Paths[0].RegisterCount = 1;
    p.Paths[0].EditingMode = 2;
}

class EmulatorScreenTest : public testing::Test {
  protected:
    ConfigDocuments documents;
    ModuleConfig& OfflineMemory = documents.OfflineMemory;
    ModuleConfig& WorkingConfig = documents.WorkingConfig;
    EmulatorRegisters registers{};

    void SetUp() override {
        ScreenInit(console, screenState);
        AddHotKey(key::F1, TakeSnapshot);
        gSnapshots.clear();
        OfflineMemory = ModuleConfig{};
        OfflineMemory.Plus.RackBase = 1;
        for (int p = 0; p < 4; ++p) DefaultPort(OfflineMemory.Ports[p], p);
        WorkingConfig = ModuleConfig{};
        ClearEmulatorRegisters(registers);
        ResetGridOrigin(registers);
    }
    void TearDown() override { ScreenDone(); }

    void Key(uint8_t scan) { console.TypeExtended(scan); }
    // Port prompt answer, then the keys; F1 takes a snapshot, F10 leaves.
    const Snapshot& RunAndSnap(const std::string& port, const std::string& keys) {
        console.Type(port);
        console.Type(keys);
        Key(kF1);
        Key(kF10);
        Emulate(registers, documents, 0);
        EXPECT_TRUE(console.keys.empty());
        EXPECT_FALSE(gSnapshots.empty());
        if (gSnapshots.empty()) TakeSnapshot(0, 0);
        return gSnapshots.back();
    }
    static std::string Field(const std::string& text) {
        return text + std::string(65 - text.size(), '\xF9');
    }

    con::MemoryConsole console;

    ScreenState screenState;
};

TEST_F(EmulatorScreenTest, DrawsTheScreenForTheChosenPort) {
    const Snapshot& s = RunAndSnap("\r", "");
    EXPECT_EQ(s.Row(1).substr(0, 14), "Vornakel R&D  ");
    EXPECT_EQ(s.Row(1).substr(21, 35), "K O V A    A S C I I    M O D U L E");
    EXPECT_EQ(s.Trimmed(1).substr(72), "EMULATE");
    EXPECT_EQ(s.Row(2).substr(0, 23), "Offline port to emulate");
    EXPECT_EQ(s.Row(2)[24], '1');
    EXPECT_EQ(s.Row(2).substr(49, 26), "Type F10 to exit simulator");
    EXPECT_EQ(s.Trimmed(3), std::string(34, ' ') + "Signal Register (1) = 0000 0000 0000 0000");
    EXPECT_EQ(s.Row(4), "Received:    \xF9" + Field("") + " ");
    EXPECT_EQ(s.Row(5), "Accepted:    \xF9" + Field("") + " ");
    EXPECT_EQ(s.Trimmed(12),
              "Register   Dec  Hex    Dec  Hex    Dec  Hex    Dec  Hex    Dec  Hex    Dec  Hex");
    EXPECT_EQ(s.Trimmed(13),
              "     2       0 0000      0 0000      0 0000      0 0000      0 0000      0 0000");
    EXPECT_EQ(s.Row(24).substr(0, 8), "    68  ");
    EXPECT_EQ(s.Trimmed(25), "Type input on keyboard. INSERT for hex entry. (Ctrl-T I)");
}

TEST_F(EmulatorScreenTest, TypedNumberEndsOnEnterAndLandsInTheFirstRegister) {
    const Snapshot& s = RunAndSnap("\r", "123\r");
    EXPECT_EQ(s.Row(4), "Received:    \xF9" + Field("123\r") + " ");
    EXPECT_EQ(s.Row(5), "Accepted:    \xF9" + Field("123") + " ");
    EXPECT_EQ(s.Trimmed(6), std::string(29, ' ') + "TERMINATOR 0D MATCHED");
    EXPECT_EQ(s.Trimmed(7), "Capitalize = NO");
    EXPECT_EQ(s.Trimmed(8), "Pattern 1 MATCHED");  // path 1 has no Continue
    EXPECT_EQ(s.Row(9), "Masked:      \xF9" + Field("123") + " ");
    EXPECT_EQ(s.Trimmed(10), "  Start Register = 2      Register Count = 1  Edit = INTEGER");
    EXPECT_EQ(s.Row(13).substr(8, 24), "   123 007B      0 0000 ");
    EXPECT_EQ(s.attrs[13].substr(8, 13), "1111111111110");  // the block in reverse
    EXPECT_NE(s.Row(3).find("= 0000 0000 0000 0001"), std::string::npos);
    EXPECT_EQ(s.Row(25).substr(59, 19), "Ready for more data");
    EXPECT_EQ(registers.image[1], 123);
}

TEST_F(EmulatorScreenTest, SecondIdenticalMessageClearsTheSignalBitAgain) {
    console.Type("\r123\r");
    Key(kF1);
    console.Type("123\r");
    Key(kF1);
    Key(kF10);
    Emulate(registers, documents, 0);
    ASSERT_EQ(gSnapshots.size(), 2u);
    EXPECT_NE(gSnapshots[0].Row(3).find("= 0000 0000 0000 0001"), std::string::npos);
    EXPECT_NE(gSnapshots[1].Row(3).find("= 0000 0000 0000 0000"), std::string::npos);
}

TEST_F(EmulatorScreenTest, HexCodesStandInForTypedCharacters) {
    PortConfig& p = OfflineMemory.Ports[0];
    std::memset(p.AcceptSet, 0, 32);
    CharSetPut(p.AcceptSet, 'A', true);
    CharSetPut(p.AcceptSet, 'B', true);
    p.Paths[0].EditingMode = 0;  // ASCII
    p.Paths[0].RegisterCount = 3;
    console.Type("\r");
    Key(kInsert);
    console.Type("41 42 0d\r");
    Key(kF1);
    Key(kF10);
    Emulate(registers, documents, 0);
    ASSERT_EQ(gSnapshots.size(), 1u);
    const Snapshot& s = gSnapshots[0];
    EXPECT_EQ(s.Row(5), "Accepted:    \xF9" + Field("AB") + " ");
    EXPECT_EQ(s.Trimmed(6), std::string(29, ' ') + "TERMINATOR 0D MATCHED");
    EXPECT_EQ(s.Row(13).substr(8, 35), "    65 0041     66 0042      0 0000");
    // The window is gone again.
    EXPECT_EQ(s.Trimmed(7), "Capitalize = NO");
}

TEST_F(EmulatorScreenTest, HexEntryQueuesWhatItParses) {
    struct Case {
        std::string typed;  // into the hex field, ended by Enter or Esc
        std::string accepted;
    } kCases[] = {
        {"00 41 0D\r", "A"},   // a 00 is never received
        {" 7  41 0D\r", "A"},  // 07 is not accepted
        {"123 0D\r", "#"},     // only the low 8 bits of a long run
        {"4142\x1b", ""},      // Esc queues nothing
        {"31 32\r", "12"},     // no terminator: the message goes on
    };
    for (const Case& c : kCases) {
        TearDown();
        SetUp();
        console.Type("\r");
        Key(kInsert);
        console.Type(c.typed);
        Key(kF1);
        Key(kF10);
        Emulate(registers, documents, 0);
        ASSERT_EQ(gSnapshots.size(), 1u) << c.typed;
        EXPECT_EQ(gSnapshots[0].Row(5), "Accepted:    \xF9" + Field(c.accepted) + " ") << c.typed;
    }
}

TEST_F(EmulatorScreenTest, F1InTheHexWindowLeavesTheFieldAsTyped) {
    console.Type("\r");
    Key(kInsert);
    console.Type("4");
    Key(kF1);
    console.Type("1 0d\r");
    Key(kF1);
    Key(kF10);
    Emulate(registers, documents, 0);
    ASSERT_EQ(gSnapshots.size(), 2u);
    EXPECT_NE(gSnapshots[0].Row(7).find("HEX CODE ENTRY"), std::string::npos);
    EXPECT_EQ(gSnapshots[0].Row(9).substr(8, 3), "4..");
    EXPECT_EQ(gSnapshots[1].Row(5), "Accepted:    \xF9" + Field("A") + " ");
    EXPECT_EQ(gSnapshots[1].Trimmed(6), std::string(29, ' ') + "TERMINATOR 0D MATCHED");
}

// Ctrl-T and a second key stand for the keys a VT100 lacks, as on every other
// screen; Ctrl-T twice is one Ctrl-T of the message.
TEST_F(EmulatorScreenTest, CtrlTPrefixStandsForMissingKeys) {
    struct Case {
        std::string keys;  // after the port prompt, before F1 and F10
        std::string accepted;
        int16_t reg;
        int beeps;
    } kCases[] = {
        {"\x14i41 0d\r", "A", 0, 0},      // Ctrl-T I: hex entry
        {"\x14I31 32 0d\r", "12", 12, 0},  // upper case too
        {"3\x14\x14\r", "3", 3, 0},       // Ctrl-T twice: a Ctrl-T, not accepted
        {"7\x14x8\r", "78", 78, 0},        // a prefix that means nothing is swallowed
        {"\x14" "3", "", 0, 1},             // F3 means nothing here
    };
    for (const Case& c : kCases) {
        TearDown();
        SetUp();
        console.Type("\r");
        console.Type(c.keys);
        Key(kF1);
        console.Type("\x14" "0");  // Ctrl-T 0: F10 leaves
        Emulate(registers, documents, 0);
        EXPECT_TRUE(console.keys.empty()) << c.keys;
        ASSERT_EQ(gSnapshots.size(), 1u) << c.keys;
        EXPECT_EQ(gSnapshots[0].Row(5), "Accepted:    \xF9" + Field(c.accepted) + " ") << c.keys;
        EXPECT_EQ(registers.image[1], c.reg) << c.keys;
        EXPECT_EQ(console.beeps, c.beeps) << c.keys;
    }
}

TEST_F(EmulatorScreenTest, CtrlTTwoIsTheTimeoutKey) {
    OfflineMemory.Plus.TerminateTimeout[0] = 5;
    const Snapshot& s = RunAndSnap("\r", "12\x14" "2");
    EXPECT_EQ(s.Trimmed(6), std::string(29, ' ') + "TERMINATED BY TIMEOUT (F2)");
    EXPECT_EQ(registers.image[1], 12);
}

TEST_F(EmulatorScreenTest, HexEntryWindowAndF10InIt) {
    console.Type("\r");
    Key(kInsert);
    console.Type("7");
    console.TypeExtended(kF10);
    Emulate(registers, documents, 0);
    EXPECT_TRUE(console.keys.empty());
    // Left from the window: the screen under it is back, nothing was queued.
    EXPECT_EQ(registers.signal, 0);
    EXPECT_EQ(ImageText(8), std::string(80, ' '));
}

TEST_F(EmulatorScreenTest, F2EndsTheMessageOnlyOnAPortWithATimeout) {
    struct Case {
        int timeout;
        const char* status;
        int16_t reg;
    } kCases[] = {
        {0, "", 0},
        {5, "TERMINATED BY TIMEOUT (F2)", 12},
    };
    for (const Case& c : kCases) {
        SetUp();
        OfflineMemory.Plus.TerminateTimeout[0] = int16_t(c.timeout);
        console.Type("\r");
        Key(kF2);  // nothing accepted yet: ignored either way
        console.Type("12");
        Key(kF2);
        Key(kF1);
        Key(kF10);
        Emulate(registers, documents, 0);
        ASSERT_EQ(gSnapshots.size(), 1u);
        std::string status = gSnapshots[0].Row(6).substr(29, 30);
        while (!status.empty() && status.back() == ' ') status.pop_back();
        if (c.timeout == 0)
            EXPECT_EQ(status, "");
        else
            EXPECT_EQ(status, c.status);
        EXPECT_EQ(registers.image[1], c.reg);
        EXPECT_EQ(console.beeps, 0);
        TearDown();
    }
    SetUp();
}

TEST_F(EmulatorScreenTest, F2HintShownOnlyWithATimeout) {
    OfflineMemory.Plus.TerminateTimeout[0] = 100;
    const Snapshot& s = RunAndSnap("\r", "x");
    EXPECT_EQ(s.Row(6).substr(29, 30), "Type F2 to simulate timeout   ");
}

TEST_F(EmulatorScreenTest, LoneTerminatorIsAnEmptyMessage) {
    const Snapshot& s = RunAndSnap("\r", "\r");
    EXPECT_EQ(s.Trimmed(7), "Message is empty.");
    EXPECT_EQ(s.Trimmed(6), std::string(29, ' ') + "TERMINATOR 0D MATCHED");
    EXPECT_EQ(s.Row(8), std::string(80, ' '));
    EXPECT_EQ(registers.signal, 0);
    // Ready was shown while waiting, then cleared when the key came.
    bool readyWritten = false;
    for (const auto& call : console.WritesOnly())
        readyWritten |= call.text.find("Ready for more data") != std::string::npos;
    EXPECT_TRUE(readyWritten);
    EXPECT_EQ(s.Trimmed(25), "Type input on keyboard. INSERT for hex entry. (Ctrl-T I)");
}

TEST_F(EmulatorScreenTest, KeyAfterAnEmptyMessageStartsTheNextOne) {
    const Snapshot& s = RunAndSnap("\r", "\r5\r");
    EXPECT_EQ(s.Row(4), "Received:    \xF9" + Field("5\r") + " ");
    EXPECT_EQ(registers.image[1], 5);
    EXPECT_EQ(s.Trimmed(7), "Capitalize = NO");
}

TEST_F(EmulatorScreenTest, TerminateCountEndsTheMessage) {
    OfflineMemory.Plus.TerminateCount[0] = 5;
    OfflineMemory.Ports[0].Paths[0].EditingMode = 1;  // PACKED
    OfflineMemory.Ports[0].Paths[0].RegisterCount = 3;
    const Snapshot& s = RunAndSnap("\r", "ABCDE");
    EXPECT_EQ(s.Row(5), "Accepted:    \xF9" + Field("ABCDE") + " ");
    EXPECT_EQ(s.Trimmed(6), std::string(29, ' ') + "TERMINATED BY MAX COUNT 5");
    EXPECT_EQ(uint16_t(registers.image[1]), 0x4142);
    EXPECT_EQ(uint16_t(registers.image[3]), 0x4500);
}

TEST_F(EmulatorScreenTest, CountAndTerminatorOnTheSameCharacterShowTheCount) {
    OfflineMemory.Plus.TerminateCount[0] = 3;
    CharSetPut(OfflineMemory.Ports[0].TerminateSet, 'C', true);
    const Snapshot& s = RunAndSnap("\r", "ABC");
    EXPECT_EQ(s.Trimmed(6), std::string(29, ' ') + "TERMINATED BY MAX COUNT 3");
}

TEST_F(EmulatorScreenTest, LongMessagesScrollAndStopAt63) {
    std::string typed;
    for (int i = 0; i < 70; ++i) typed += char('A' + i % 26);
    const Snapshot& s = RunAndSnap("\r", typed);
    EXPECT_EQ(s.Row(4).substr(14, 64), typed.substr(6));
    EXPECT_EQ(s.Row(5).substr(14, 64), typed.substr(0, 63) + typed.back());
}

TEST_F(EmulatorScreenTest, UnknownExtendedKeysBeepOthersDoNot) {
    console.Type("\r");
    Key(kF3);
    Key(0x48);  // Up
    Key(kF10);
    Emulate(registers, documents, 0);
    EXPECT_EQ(console.beeps, 2);
}

TEST_F(EmulatorScreenTest, EscAtThePortPromptLeavesAtOnce) {
    console.Type("\x1b");
    Emulate(registers, documents, 0);
    EXPECT_TRUE(console.keys.empty());
    EXPECT_EQ(ImageText(3), std::string(80, ' '));
}

TEST_F(EmulatorScreenTest, ChosenPortIsCopiedFromTheOfflineMemory) {
    OfflineMemory.Ports[2].Capitalize = 1;
    OfflineMemory.Plus.RackBase = 100;
    OfflineMemory.Ports[2].Paths[0].StartRegister = 250;
    const Snapshot& s = RunAndSnap("3\r", "abc1\r");
    EXPECT_EQ(std::memcmp(&WorkingConfig.Ports[2], &OfflineMemory.Ports[2], sizeof(PortConfig)), 0);
    EXPECT_EQ(s.Row(2)[24], '3');
    EXPECT_EQ(s.Row(7).substr(0, 18),
              "Capitalized: \xF9"
              "ABC1");
    EXPECT_NE(s.Row(3).find("Signal Register (100) = 0000 0001 0000 0000"), std::string::npos);
    EXPECT_EQ(registers.image[150], 1);
    EXPECT_EQ(s.Row(13).substr(0, 6), "   245");          // 101 + 6 * 24: the block's row first
    EXPECT_EQ(s.Row(13).substr(68, 12), "     1 0001 ");  // 250 is the sixth cell
}

TEST_F(EmulatorScreenTest, ContinueKeepsEarlierBlocksInReverse) {
    PortConfig& p = OfflineMemory.Ports[0];
    p.Paths[0].Continue = 1;
    std::strcpy(p.Paths[1].Pattern, "*");
    p.Paths[1].StartRegister = 5;
    p.Paths[1].RegisterCount = 2;
    p.Paths[1].EditingMode = 0;
    const Snapshot& s = RunAndSnap("\r", "7\r");
    EXPECT_EQ(s.attrs[13].substr(8, 48),
              std::string(12, '1') + std::string(24, '0') + std::string(12, '1'));
    EXPECT_EQ(s.attrs[13].substr(56, 12), std::string(12, '1'));
    EXPECT_NE(s.Row(3).find("= 0000 0000 0000 0011"), std::string::npos);
}

TEST_F(EmulatorScreenTest, GridOriginSurvivesBetweenUses) {
    OfflineMemory.Ports[0].Paths[0].StartRegister = 500;
    RunAndSnap("\r", "1\r");
    EXPECT_EQ(registers.origin, 500);
    gSnapshots.clear();
    OfflineMemory.Ports[0].Paths[0].StartRegister = 2;
    const Snapshot& s = RunAndSnap("\r", "");
    EXPECT_EQ(s.Row(13).substr(0, 6), "   500");
    EXPECT_EQ(s.Row(13).substr(8, 12), "     1 0001 ");
}

// Values only a damaged record holds: the screen shows them whole.
TEST_F(EmulatorScreenTest, UnlistedModeAndLongRegisterNumbersShowWhole) {
    OfflineMemory.Plus.RackBase = 8191;
    DataPath& path = OfflineMemory.Ports[0].Paths[0];
    path.EditingMode = 200;  // no conversion: the block is written as zeros
    path.StartRegister = 10100;
    const Snapshot& s = RunAndSnap("\r", "1\r");
    EXPECT_EQ(s.Trimmed(10), "  Start Register = 10100  Register Count = 1  Edit = 200?");
    // The block's row opens the grid; five-digit numbers keep their last digit.
    EXPECT_EQ(s.Row(13).substr(0, 8), " 10100  ");
    EXPECT_EQ(s.Row(24).substr(0, 8), " 10166  ");
}

// The editor shows the count as an unsigned word: a damaged -1 is 65535,
// which the accepted count never reaches.
TEST_F(EmulatorScreenTest, NegativeTerminateCountIsNeverReached) {
    OfflineMemory.Plus.TerminateCount[0] = -1;
    const Snapshot& s = RunAndSnap("\r", "ABC\r");
    EXPECT_EQ(s.Row(5), "Accepted:    \xF9" + Field("ABC") + " ");
    EXPECT_EQ(s.Trimmed(6), std::string(29, ' ') + "TERMINATOR 0D MATCHED");
}

}  // namespace

namespace {

TEST_F(EmulatorScreenTest, OnlineFormFetchesThePortAndClearsTheProgress) {
    // Stands in for the module fetch: fills the port of the configuration
    // given and shows progress on row 1 as the fetch does.
    int fetchedPort = 0;
    const ModuleConfig module = OfflineMemory;
    const auto fetch = [&](ModuleConfig& into, int port) {
        fetchedPort = port;
        into.Plus = module.Plus;
        into.Ports[port - 1] = module.Ports[port - 1];
        into.Ports[port - 1].Paths[0].StartRegister = 20;
        PutText("Port 4 Paths", 1, 65, 0, ' ', 0);
    };
    console.Type("4\r");
    console.Type("8\r");
    Key(kF1);
    Key(kF10);
    Emulate(registers, documents, 1, fetch);
    EXPECT_EQ(fetchedPort, 4);
    ASSERT_EQ(gSnapshots.size(), 1u);
    const Snapshot& s = gSnapshots[0];
    EXPECT_EQ(s.Row(2).substr(0, 22), "Online port to emulate");
    EXPECT_EQ(s.Row(1).substr(56), std::string(16, ' ') + "EMULATE ");
    EXPECT_EQ(registers.image[19], 8);
    EXPECT_NE(s.Row(3).find("= 0001 0000 0000 0000"), std::string::npos);
}

}  // namespace
