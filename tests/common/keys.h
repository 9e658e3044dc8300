// Keys as the keyboard layer hands them to the toolkit: plain characters as
// they are, extended keys as 0xE0 and the scan code. Tests type them into the
// in-memory console.
#pragma once
#include <string>

namespace keys {
// clang-format off
inline const std::string
    Left = "\xE0\x4B", Right = "\xE0\x4D", Up = "\xE0\x48", Down = "\xE0\x50",
    Home = "\xE0\x47", End = "\xE0\x4F", PgUp = "\xE0\x49", PgDn = "\xE0\x51",
    Insert = "\xE0\x52", Del = "\xE0\x53",
    F1 = "\xE0\x3B", F2 = "\xE0\x3C", F3 = "\xE0\x3D", F4 = "\xE0\x3E", F5 = "\xE0\x3F",
    F6 = "\xE0\x40", F7 = "\xE0\x41", F8 = "\xE0\x42", F9 = "\xE0\x43", F10 = "\xE0\x44";
inline const std::string
    Enter = "\r", Esc = "\x1b", Backspace = "\x08", Tab = "\t",
    CtrlD = "\x04", CtrlF = "\x06", CtrlJ = "\n", CtrlR = "\x12", CtrlU = "\x15", CtrlY = "\x19";
// clang-format on

// The same key n times.
inline std::string Times(int n, const std::string& k) {
    std::string s;
    for (int i = 0; i < n; ++i) s += k;
    return s;
}
}  // namespace keys
