// The terminal's key bindings.
#include "terminal/terminal_keys.h"

#include <string_view>

#include "ui/console/keys.h"

namespace {

struct Binding {
    uint8_t scan;
    TerminalAction action;
    std::string_view bytes;  // a NUL among them too
};

// clang-format off
constexpr Binding kBindings[] = {
    {0x3B,               TerminalAction::Send,         "\x1BOP"},  // F1
    {0x3C,               TerminalAction::Send,         "\x1BOQ"},  // F2
    {0x3D,               TerminalAction::Send,         "\x1BOR"},  // F3
    {0x3E,               TerminalAction::Send,         "\x1BOS"},  // F4
    {0x3F,               TerminalAction::ToggleHex,    ""},        // F5
    {key::scan::F6,      TerminalAction::ToggleTimestamps, ""},
    {0x41,               TerminalAction::BeginCapture, ""},        // F7
    {key::scan::ShiftF7, TerminalAction::BeginRawCapture, ""},
    {0x42,               TerminalAction::EndCapture,   ""},        // F8
    {0x43,               TerminalAction::Setup,        ""},        // F9
    {key::scan::Insert,  TerminalAction::HexLine,      ""},
    {key::scan::CtrlEnd, TerminalAction::Leave,        ""},
    {key::scan::Nul,     TerminalAction::Send,         std::string_view("\0", 1)},
};

// The letters after Ctrl-T, either case; X leaves too, as in picocom.
struct Letter {
    char letter;
    TerminalAction action;
};
constexpr Letter kLetters[] = {
    {'Q', TerminalAction::Leave},           {'X', TerminalAction::Leave},
    {'H', TerminalAction::ToggleHex},       {'T', TerminalAction::ToggleTimestamps},
    {'C', TerminalAction::BeginCapture},    {'R', TerminalAction::BeginRawCapture},
    {'E', TerminalAction::EndCapture},      {'S', TerminalAction::Setup},
    {'I', TerminalAction::HexLine},         {'?', TerminalAction::ShowKeys},
};
// clang-format on

TerminalKey ExtendedKeyOf(uint8_t scan);

// A digit is the function key of that number (0 is F10), as everywhere else
// in the program, for terminals without them.
TerminalKey AfterPrefix(bool extended, uint8_t byte) {
    if (extended) return {TerminalAction::Refused, ""};
    if (byte == kTerminalPrefix) return {TerminalAction::Send, std::string(1, char(byte))};
    if (byte >= '1' && byte <= '9') return ExtendedKeyOf(uint8_t(key::scan::F1 + (byte - '1')));
    if (byte == '0') return ExtendedKeyOf(key::scan::F10);
    const char upper = byte >= 'a' && byte <= 'z' ? char(byte - 'a' + 'A') : char(byte);
    for (const Letter& l : kLetters)
        if (l.letter == upper) return {l.action, ""};
    return {TerminalAction::Refused, ""};
}

}  // namespace

namespace {
TerminalKey ExtendedKeyOf(uint8_t scan) {
    for (const Binding& b : kBindings)
        if (b.scan == scan) return {b.action, std::string(b.bytes)};
    return {TerminalAction::None, ""};
}
}  // namespace

const char* const kTerminalPrefixHelp[] = {
    "Ctrl-T then: Q or X exit, C capture, R raw capture, E end capture, T timestamps\n",
    "             H hex-only, I hex sequence, S setup, 1-9 and 0 the keys F1-F10;\n",
    "             ctrl-T again sends ctrl-T.\n",
    nullptr,
};

TerminalKey TerminalKeyOf(bool extended, uint8_t byte, bool afterPrefix) {
    if (afterPrefix) return AfterPrefix(extended, byte);
    if (!extended && byte == kTerminalPrefix) return {TerminalAction::Prefix, ""};
    if (!extended) return {TerminalAction::Send, std::string(1, char(byte))};
    return ExtendedKeyOf(byte);
}
