// The terminal's key bindings.
#include "terminal/terminal_keys.h"

#include "ui/keys.h"

namespace {

struct Binding {
    uint8_t scan;
    TerminalAction action;
    const char* bytes;
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
};
// clang-format on

}  // namespace

TerminalKey TerminalKeyOf(bool extended, uint8_t byte) {
    if (!extended) return {TerminalAction::Send, std::string(1, char(byte))};
    for (const Binding& b : kBindings)
        if (b.scan == byte) return {b.action, b.bytes};
    return {TerminalAction::None, ""};
}
