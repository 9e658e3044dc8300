// The keyboard: a type-ahead ring that StuffKeys fills and ReadKey empties
// first, the key code table, insert mode and hot keys.
#include <chrono>
#include <cstring>
#include <utility>

#include "ui/console/keys.h"
#include "ui/screen_state.h"

namespace {

// The key code of a key whose first byte has been read: an extended key's
// scan code follows its 0 at once (both come from one key); after Ctrl-T the
// next key is waited for and stands for a key the terminal may lack (an
// extended key after it is itself).
uint8_t MapConsoleKey(con::Console& console, int byte) {
    const bool prefixed = byte == key::KeyPrefix;
    if (prefixed && (byte = console.ReadKeyByte(-1)) < 0) return 0;
    const bool extended = byte == 0;
    if (extended && (byte = console.ReadKeyByte(-1)) < 0) return 0;
    if (prefixed && !extended) return key::MapPrefixedKey(uint8_t(byte));
    return key::MapKey(extended, uint8_t(byte));
}

// Reads one key from the console and maps it; 0 when polling found nothing.
// Insert and swallowed keys are consumed here and reading goes on, waiting.
int ReadConsoleKey(bool wait) {
    ScreenState& s = Screen();
    con::Console& console = *s.console;
    if (s.cursorVisible) console.SetCursorPosition(s.cursorRow, s.cursorCol);
    if (!wait && !console.KeyPending()) return 0;
    for (;;) {
        int byte = console.ReadKeyByte(-1);
        if (byte < 0) continue;
        uint8_t code = MapConsoleKey(console, byte);
        if (code == key::InsertToggle) {
            s.insertMode = !s.insertMode;
            if (s.cursorVisible) ShowCursor();
            continue;
        }
        if (code == 0) continue;
        return code;
    }
}

// A key typed within timeoutMs, mapped; 0 when none came in time.
int ReadConsoleKeyWithin(int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    con::Console& console = *Screen().console;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        int byte = console.ReadKeyByte(left.count() > 0 ? int(left.count()) : 0);
        if (byte < 0) return 0;
        uint8_t code = MapConsoleKey(console, byte);
        if (code == key::InsertToggle) {
            Screen().insertMode = !Screen().insertMode;
            continue;
        }
        if (code != 0) return code;
    }
}

HotKey* FindHotKey(int code) {
    for (auto& h : Screen().hotKeys)
        if (!h.busy && h.code == code) return &h;
    return nullptr;
}

using KeyClock = std::chrono::steady_clock;

int MsLeft(KeyClock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - KeyClock::now());
    return left.count() > 0 ? int(left.count()) : 0;
}

// Hot-key handlers get the position of the text cursor when a field reads
// the key, else -1. With a deadline the wait ends there (0), also when a hot
// key's handler took part of the time.
int ReadKeyFor(int wait, int cursor, const KeyClock::time_point* deadline = nullptr) {
    ScreenState& s = Screen();
    for (;;) {
        if (s.dirty) RepaintScreen();
        int code;
        uint8_t queued;
        if (TakeTypeAhead(queued)) {
            code = queued;
        } else {
            s.console->Flush();
            code = deadline ? ReadConsoleKeyWithin(MsLeft(*deadline)) : ReadConsoleKey(wait != 0);
            if (code == 0) return 0;
        }
        HotKey* hot = FindHotKey(code);
        if (!hot) return code;
        hot->busy = true;
        // A copy runs: the handler may remove its own binding, and with it
        // the callable and whatever the callable captured.
        HotKeyHandler run = hot->handler;
        const int answer = run(code, cursor);
        // The handler may have removed hot keys; look the record up again.
        for (auto& h : s.hotKeys)
            if (&h == hot) h.busy = false;
        if (answer) return answer;
    }
}

}  // namespace

int ReadKey(int wait) { return ReadKeyFor(wait, -1); }

int GetKey() { return ReadKeyFor(-1, -1); }

int GetFieldKey(int cursor) { return ReadKeyFor(-1, cursor); }

int GetKeyWithin(int timeoutMs) {
    const auto deadline =
        KeyClock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    return ReadKeyFor(-1, -1, &deadline);
}

int ReadKeyboardKey() {
    Screen().console->Flush();
    return ReadConsoleKey(false);
}

void StuffKeys(const char* keys) {
    for (const char* k = keys; *k; ++k) Screen().input.Stuff(uint8_t(*k));
}

void StuffKeys(const std::string& keys) { StuffKeys(keys.c_str()); }

bool UngetKey(uint8_t code) { return Screen().input.PutBack(code); }

bool KeysQueued() { return !Screen().input.Empty(); }

bool WaitForKey(int timeoutMs) {
    if (KeysQueued()) return true;
    Screen().console->Flush();
    int code = ReadConsoleKeyWithin(timeoutMs < 0 ? 0 : timeoutMs);
    if (code == 0) return false;
    const char typed[2] = {char(code), 0};
    StuffKeys(typed);
    return true;
}

void StuffAllKeys(const std::string& keys) {
    for (char k : keys) Screen().input.StuffAll(uint8_t(k));
}

void AddHotKey(uint8_t code, HotKeyHandler handler) {
    Screen().hotKeys.push_back({code, std::move(handler)});
}

void RemoveHotKey(uint8_t code) {
    auto& list = Screen().hotKeys;
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        if (it->code == code) {
            list.erase(std::next(it).base());
            return;
        }
    }
}
