// Raw key bytes for screens that read the keyboard themselves: queued keys
// come back as the bytes that would have produced them, peeks are read again.
#include "ui/raw_key.h"

#include <gtest/gtest.h>

#include <vector>

#include "toolkit_fixture.h"
#include "ui/console/keys.h"

namespace {

class RawKeyTest : public ToolkitTest {};

std::vector<int> ReadAll(int n) {
    std::vector<int> out;
    for (int i = 0; i < n; ++i) out.push_back(ReadRawKey(0));
    return out;
}

TEST_F(RawKeyTest, QueuedKeysComeBackAsKeyBytes) {
    struct Case {
        std::string queued;
        std::vector<int> bytes;
    } kCases[] = {
        {"A1\r", {'A', '1', 13}},
        {"\x91", {0, 0x3B}},  // F1
        {"\x9A", {0, 0x44}},  // F10
        {"\xB9", {8}},        // Backspace
        {"\x8B", {0, 0x48}},  // Up
        {"\x1b", {27}},
    };
    for (const Case& c : kCases) {
        StuffKeys(c.queued);
        EXPECT_EQ(ReadAll(int(c.bytes.size())), c.bytes) << c.queued;
        EXPECT_EQ(ReadRawKey(0), -1);
    }
}

TEST_F(RawKeyTest, QueuedKeysComeBeforeTheConsoleAndPeeksStay) {
    console.Type("x");
    console.TypeExtended(0x3C);
    StuffKeys("q");
    EXPECT_EQ(PeekRawKey(-1), 'q');
    EXPECT_EQ(PeekRawKey(-1), 'q');
    EXPECT_EQ(ReadRawKey(-1), 'q');
    EXPECT_EQ(ReadRawKey(-1), 'x');
    EXPECT_EQ(PeekRawKey(-1), 0);
    EXPECT_EQ(ReadRawKey(-1), 0);
    EXPECT_EQ(ReadRawKey(-1), 0x3C);
    EXPECT_EQ(ReadRawKey(0), -1);
    EXPECT_EQ(PeekRawKey(0), -1);
}

TEST_F(RawKeyTest, PrefixedReadTurnsCtrlTKeysIntoExtendedKeys) {
    struct Case {
        std::string typed;
        std::vector<int> bytes;
    } kCases[] = {
        {"\x14i", {0, 0x52}},          // Insert
        {"\x14U\x14n", {0, 0x49, 0, 0x51}},
        {"\x14" "1\x14" "0", {0, 0x3B, 0, 0x44}},
        {"\x14\x14", {0x14}},          // Ctrl-T twice: one Ctrl-T
        {"\x14zq", {'q'}},             // nothing after the prefix: swallowed
    };
    for (const Case& c : kCases) {
        console.Type(c.typed);
        std::vector<int> got;
        for (size_t i = 0; i < c.bytes.size(); ++i) got.push_back(ReadRawKeyPrefixed(0));
        EXPECT_EQ(got, c.bytes) << c.typed;
        EXPECT_EQ(ReadRawKeyPrefixed(0), -1) << c.typed;
    }
    // An extended key after the prefix goes with it, scan code and all.
    console.Type("\x14");
    console.TypeExtended(0x48);
    console.Type("q");
    EXPECT_EQ(ReadRawKeyPrefixed(0), 'q');
    // The unprefixed read leaves Ctrl-T alone (the serial terminal's own prefix).
    console.Type("\x14i");
    EXPECT_EQ(ReadRawKey(0), 0x14);
    EXPECT_EQ(ReadRawKey(0), 'i');
}

TEST_F(RawKeyTest, RepaintsADirtyScreenBeforeWaiting) {
    PutText("kept", 3, 1, 0, ' ', 0);
    MarkScreenDirty();
    console.ClearCalls();
    console.Type("k");
    EXPECT_EQ(ReadRawKey(-1), 'k');
    EXPECT_EQ(console.Row(2).substr(0, 4), "kept");
    EXPECT_FALSE(console.WritesOnly().empty());
    EXPECT_GT(console.flushes, 0);
}

int gHotCalls = 0;

TEST_F(RawKeyTest, RunsTheBoundHotKey) {
    gHotCalls = 0;
    EXPECT_FALSE(RunHotKey(key::F1));
    AddHotKey(key::F1, [](int code, int) {
        ++gHotCalls;
        EXPECT_FALSE(RunHotKey(uint8_t(code)));  // busy while it runs
        return 0;
    });
    EXPECT_TRUE(RunHotKey(key::F1));
    EXPECT_TRUE(RunHotKey(key::F1));
    EXPECT_EQ(gHotCalls, 2);
}

}  // namespace
