// What each key does in the terminal: one table of the extended keys with a
// meaning; every other extended key does nothing, every plain key is sent as
// its one byte (Ctrl-C included: the keyboard delivers it as a key).
//
// Ctrl-T is a prefix, as in tio: the key after it names an action by a
// letter. Function keys and Ctrl-End do not reach the program from every
// terminal (the Linux console sends Ctrl-End as plain End, a serial console
// may have no function keys at all), but a control character and a letter
// come through every terminal, ssh and tmux unchanged; Alt does not (it is
// Esc on one terminal, the eighth bit on another, missing on a third).
// Ctrl-T is rare in device protocols and free in tmux and screen, whose own
// prefixes are Ctrl-B and Ctrl-A; Ctrl-T twice sends one Ctrl-T.
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
    Leave,
    Prefix,    // the next key names an action
    ShowKeys,  // the prefix's letters
    Refused    // an unknown letter after the prefix
};

struct TerminalKey {
    TerminalAction action;
    std::string bytes;  // for Send
};

constexpr uint8_t kTerminalPrefix = 0x14;  // Ctrl-T

// A plain key byte, or (extended) the scan code of an extended key;
// afterPrefix when it follows Ctrl-T.
TerminalKey TerminalKeyOf(bool extended, uint8_t byte, bool afterPrefix = false);

// The prefix's letters, as the terminal lists them on ctrl-T ?.
extern const char* const kTerminalPrefixHelp[];
