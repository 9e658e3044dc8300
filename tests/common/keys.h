// Keys as the keyboard layer hands them to the toolkit: plain characters as
// they are, extended keys as 0 and the scan code. Tests type them into the
// in-memory console.
#pragma once
#include <string>

namespace keys {
using namespace std::string_literals;
// clang-format off
inline const std::string
    Left = "\0\x4B"s, Right = "\0\x4D"s, Up = "\0\x48"s, Down = "\0\x50"s,
    Home = "\0\x47"s, End = "\0\x4F"s, PgUp = "\0\x49"s, PgDn = "\0\x51"s,
    Insert = "\0\x52"s, Del = "\0\x53"s,
    F1 = "\0\x3B"s, F2 = "\0\x3C"s, F3 = "\0\x3D"s, F4 = "\0\x3E"s, F5 = "\0\x3F"s,
    F6 = "\0\x40"s, F7 = "\0\x41"s, F8 = "\0\x42"s, F9 = "\0\x43"s, F10 = "\0\x44"s;
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
