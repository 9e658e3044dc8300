// Key codes, type-ahead, insert mode and hot keys.
#include "toolkit_fixture.h"
#include "ui/console/keys.h"

namespace {

using KeyboardTest = ToolkitTest;

TEST_F(KeyboardTest, MapsKeysThroughTheTable) {
    struct Case {
        std::vector<int> bytes;
        int code;
    } cases[] = {
        {{'a'}, 'a'},          {{13}, key::Enter},     {{27}, key::Esc},
        {{1}, key::Home},      {{22}, key::Del},       {{8}, key::Backspace},
        {{7}, key::End},       {{25}, key::CtrlY},     {{10}, key::LineFeed},
        {{0, 0x3B}, key::F1},  {{0, 0x44}, key::F10},  {{0, 0x48}, key::Up},
        {{0xE0}, 0xE0},        {{0, 0x50}, key::Down}, {{0, 0x49}, key::PgUp},
        {{0, 0x53}, key::Del}, {{0, 0x08}, 0x7F},
    };
    for (const auto& c : cases) {
        for (int b : c.bytes) console.keys.push_back(b);
        EXPECT_EQ(GetKey(), c.code) << c.bytes.back();
    }
}

// Ctrl-T and a second key stand for the keys a VT lacks; an extended key
// after it is itself, Ctrl-T twice Ctrl-T, an unknown key nothing.
TEST_F(KeyboardTest, CtrlTAndAKeyStandForMissingKeys) {
    struct Case {
        std::vector<int> bytes;
        int code;
    } cases[] = {
        {{0x14, '1'}, key::F1},   {{0x14, '5'}, key::F5},   {{0x14, '0'}, key::F10},
        {{0x14, 'u'}, key::PgUp}, {{0x14, 'N'}, key::PgDn}, {{0x14, 'h'}, key::Home},
        {{0x14, 'E'}, key::End},  {{0x14, 0x14}, 0x14},     {{0x14, 0, 0x48}, key::Up},
        {{0x14, 'z', 'k'}, 'k'},
    };
    for (const auto& c : cases) {
        for (int b : c.bytes) console.keys.push_back(b);
        EXPECT_EQ(GetKey(), c.code) << c.bytes[1];
    }
    EXPECT_TRUE(InsertMode());
    for (int b : {0x14, int('i'), int('x')}) console.keys.push_back(b);
    EXPECT_EQ(GetKey(), 'x');
    EXPECT_FALSE(InsertMode());
}

TEST_F(KeyboardTest, InsertTogglesAndSwallowedKeysNeverArrive) {
    EXPECT_TRUE(InsertMode());
    console.TypeExtended(key::scan::Insert);
    console.TypeExtended(key::scan::F11);
    console.TypeExtended(key::scan::CtrlEnd);
    console.Type("x");
    EXPECT_EQ(GetKey(), 'x');
    EXPECT_FALSE(InsertMode());
}

TEST_F(KeyboardTest, PollingReturnsZeroWhenNothingIsWaiting) {
    EXPECT_EQ(ReadKey(0), 0);
    console.Type("k");
    EXPECT_EQ(ReadKey(0), 'k');
}

TEST_F(KeyboardTest, StuffedKeysComeBeforeTypedOnes) {
    console.Type("t");
    StuffKeys("ab");
    EXPECT_EQ(GetKey(), 'a');
    EXPECT_EQ(GetKey(), 'b');
    EXPECT_EQ(GetKey(), 't');
}

TEST_F(KeyboardTest, TheRingKeepsAHundredKeysAcrossItsWrap) {
    for (int round = 0; round < 3; ++round) {
        std::string keys;
        for (int i = 0; i < 100; ++i) keys += char('A' + (i + round) % 26);
        StuffKeys(keys);
        StuffKeys("!");  // a full ring keeps what it holds
        for (int i = 0; i < 100; ++i) ASSERT_EQ(GetKey(), keys[i]) << round << ":" << i;
        EXPECT_EQ(ReadKey(0), 0);
    }
}

// The command line's keys are never dropped: what the ring cannot hold waits
// behind it, and keys queued later (a side-step, a key put back) come after.
TEST_F(KeyboardTest, AllQueuedKeysArriveInOrderBeyondTheRing) {
    std::string arguments;
    for (int i = 0; i < 3 * 131; ++i) arguments += char('A' + i % 26);
    console.Type("t");
    StuffAllKeys(arguments);
    EXPECT_EQ(GetKey(), 'A');
    StuffKeys("!");  // queued while keys wait beyond the ring
    for (size_t i = 1; i < arguments.size(); ++i) ASSERT_EQ(GetKey(), arguments[i]) << i;
    EXPECT_EQ(GetKey(), '!');
    EXPECT_EQ(GetKey(), 't');
    EXPECT_EQ(ReadKey(0), 0);
    // With the waiting keys gone, the ring keeps its limit again.
    StuffKeys(std::string(100, 'x') + "!");
    for (int i = 0; i < 100; ++i) ASSERT_EQ(GetKey(), 'x');
    EXPECT_EQ(ReadKey(0), 0);
}

std::vector<int> gHandled;
int Recorder(int code, int arg) {
    gHandled.push_back(code);
    EXPECT_EQ(arg, -1);
    return 0;
}
int ReadsItsOwnKey(int code, int) {
    gHandled.push_back(code);
    gHandled.push_back(GetKey());  // the same key again: the record is busy
    return 0;
}

TEST_F(KeyboardTest, HotKeysRunAndAreDiscarded) {
    gHandled.clear();
    AddHotKey(key::F2, Recorder);
    console.TypeExtended(key::scan::F2);
    StuffKeys("\x92z");  // stuffed keys go through hot keys too
    console.Type("y");
    EXPECT_EQ(GetKey(), 'z');
    EXPECT_EQ(GetKey(), 'y');
    EXPECT_EQ(gHandled, (std::vector<int>{key::F2, key::F2}));
    RemoveHotKey(key::F2);
    console.TypeExtended(key::scan::F2);
    EXPECT_EQ(GetKey(), key::F2);
}

TEST_F(KeyboardTest, AHotKeyHandlerReceivesItsOwnKeyAsAnOrdinaryKey) {
    gHandled.clear();
    AddHotKey(key::F9, ReadsItsOwnKey);
    console.TypeExtended(0x43);
    console.TypeExtended(0x43);
    console.Type("q");
    EXPECT_EQ(GetKey(), 'q');
    EXPECT_EQ(gHandled, (std::vector<int>{key::F9, key::F9}));
}

TEST_F(KeyboardTest, RemovingTakesTheNewestBindingFirst) {
    gHandled.clear();
    AddHotKey(key::F3, Recorder);
    AddHotKey(key::F3, ReadsItsOwnKey);
    RemoveHotKey(key::F3);
    console.TypeExtended(0x3D);
    console.Type("e");
    EXPECT_EQ(GetKey(), 'e');
    EXPECT_EQ(gHandled, (std::vector<int>{key::F3}));
}

// A handler that carries its own state, and one that unbinds itself while it
// runs (its captured state must outlive the call).
TEST_F(KeyboardTest, HotKeysCarryTheirOwnContext) {
    std::vector<int> seen;
    std::string label = "help";
    AddHotKey(key::F2, [&seen, label](int code, int arg) {
        seen.push_back(code);
        seen.push_back(arg);
        RemoveHotKey(key::F2);
        seen.push_back(int(label.size()));  // still alive after the removal
        return 0;
    });
    console.TypeExtended(key::scan::F2);
    console.TypeExtended(key::scan::F2);
    EXPECT_EQ(GetFieldKey(3), key::F2);  // the binding is gone: the second F2 is a key
    EXPECT_EQ(seen, (std::vector<int>{key::F2, 3, 4}));
}

// A key put back is read before the keys queued behind it; a key typed during
// a wait is queued, mapped, and goes through hot keys when read.
TEST_F(KeyboardTest, KeysPutBackAndKeysWaitedFor) {
    StuffKeys("bc");
    EXPECT_TRUE(UngetKey('a'));
    EXPECT_TRUE(UngetKey(key::Home));
    EXPECT_EQ(GetKey(), key::Home);
    EXPECT_EQ(GetKey(), 'a');
    EXPECT_EQ(GetKey(), 'b');
    EXPECT_EQ(GetKey(), 'c');
    EXPECT_FALSE(KeysQueued());
    EXPECT_FALSE(WaitForKey(0));
    console.TypeExtended(key::scan::PgDn);
    EXPECT_TRUE(WaitForKey(50));
    EXPECT_TRUE(KeysQueued());
    EXPECT_EQ(ReadKey(0), key::PgDn);
    for (int i = 0; i < 100; ++i) StuffKeys("x");
    EXPECT_FALSE(UngetKey('y'));  // a full ring keeps what it holds
}

// A key wait with a time limit: the key, or 0 once the time is out; a hot
// key runs inside the wait, which goes on. (The in-memory console has no
// clock: -1 in its queue is the user pausing.)
TEST_F(KeyboardTest, AKeyWaitWithATimeLimitRunsHotKeysAndEndsOnAPause) {
    int hot = 0;
    AddHotKey(key::F1, [&hot](int, int) { return ++hot, 0; });
    StuffKeys("a");
    EXPECT_EQ(GetKeyWithin(1500), 'a');
    console.TypeExtended(key::scan::F1);
    console.Type("b");
    EXPECT_EQ(GetKeyWithin(1500), 'b');
    EXPECT_EQ(hot, 1);
    console.keys.push_back(-1);
    EXPECT_EQ(GetKeyWithin(1500), 0);
    EXPECT_EQ(GetKeyWithin(0), 0);  // nothing typed
    console.keys.push_back(-1);
    console.Type("c");
    EXPECT_EQ(GetKey(), 'c');  // a wait without a limit reads on past a pause
}

}  // namespace
