// Raw key bytes for the screens that read the keyboard themselves (the
// emulator): the same console and type-ahead as ReadKey, without the mapping.
#include "ui/raw_key.h"

#include "ui/console/keys.h"
#include "ui/screen_state.h"

namespace {

std::deque<int>& Held() { return Screen().heldBytes; }

// The key bytes that would have produced a key code: an extended key when one
// maps to it (so F1 comes back as 0 and its scan code), else the plain byte.
void HoldBytesOf(uint8_t code) {
    if (code >= 0x80) {
        for (int scan = 1; scan < 256; ++scan) {
            if (key::MapKey(true, uint8_t(scan)) == code) {
                Held().push_back(0);
                Held().push_back(scan);
                return;
            }
        }
    }
    for (int b = 1; b < 32; ++b) {
        if (key::MapKey(false, uint8_t(b)) == code) {
            Held().push_back(b);
            return;
        }
    }
    Held().push_back(code);
}

bool HoldTypeAhead() {
    uint8_t code;
    if (!TakeTypeAhead(code)) return false;
    HoldBytesOf(code);
    return true;
}

int NextByte(int timeoutMs) {
    ScreenState& s = Screen();
    if (Held().empty() && !HoldTypeAhead()) {
        if (s.dirty) RepaintScreen();
        s.console->Flush();
        return s.console->ReadKeyByte(timeoutMs);
    }
    int b = Held().front();
    Held().pop_front();
    return b;
}

}  // namespace

int ReadRawKey(int timeoutMs) { return NextByte(timeoutMs); }

int ReadRawKeyPrefixed(int timeoutMs) {
    for (;;) {
        int b = NextByte(timeoutMs);
        if (b != key::KeyPrefix) return b;
        // The key after the prefix is part of it: wait for it however long.
        int after = NextByte(-1);
        if (after < 0 || after == key::KeyPrefix) return after;
        if (after == 0) {  // an extended key after the prefix means nothing
            NextByte(-1);
            continue;
        }
        const uint8_t scanCode = key::PrefixedScanCode(uint8_t(after));
        if (scanCode == 0) continue;
        Held().push_front(scanCode);
        return 0;
    }
}

int PeekRawKey(int timeoutMs) {
    int b = NextByte(timeoutMs);
    if (b >= 0) Held().push_front(b);
    return b;
}

int WaitForRawKeyOr(int fd, int timeoutMs) {
    ScreenState& s = Screen();
    if (!Held().empty() || !s.input.Empty()) return con::InputKey;
    if (s.dirty) RepaintScreen();
    s.console->Flush();
    return s.console->WaitForInput(fd, timeoutMs);
}

bool RunHotKey(uint8_t code) {
    for (auto& h : Screen().hotKeys) {
        if (h.busy || h.code != code) continue;
        h.busy = true;
        HotKey* running = &h;
        h.handler(code, -1);
        for (auto& again : Screen().hotKeys)
            if (&again == running) again.busy = false;
        return true;
    }
    return false;
}
