// What each key does in the terminal: one table of the extended keys with a
// meaning; every other extended key does nothing, every plain key is sent as
// its one byte (Ctrl-C included: the keyboard delivers it as a key).
#pragma once
#include <cstdint>
#include <string>

enum class TerminalAction {
    None,
    Send,
    ToggleHex,
    ToggleTimestamps,
    BeginCapture,
    BeginRawCapture,
    EndCapture,
    Setup,
    HexLine,
    Leave
};

struct TerminalKey {
    TerminalAction action;
    std::string bytes;  // for Send
};

// A plain key byte, or (extended) the scan code of an extended key.
TerminalKey TerminalKeyOf(bool extended, uint8_t byte);
