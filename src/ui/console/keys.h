// The keyboard's vocabulary, from the console up: the PC scan codes the
// console delivers extended keys as, and the one-byte key codes ReadKey and
// GetKey return for them. Printable and control characters are their own
// value apart from the remapped control keys below; extended keys (a 0 prefix
// and a PC scan code) map through a table. 0xE0 is a character (the code page
// 437 alpha), not a second prefix.
#pragma once
#include <cstdint>

namespace key {
constexpr uint8_t Tab = 9;
constexpr uint8_t LineFeed = 10;  // Ctrl-Enter
constexpr uint8_t Enter = 13;
constexpr uint8_t Esc = 27;
constexpr uint8_t Del127 = 0x7F;  // the DEL character (also extended code 8)
constexpr uint8_t Down = 0x8A;
constexpr uint8_t Up = 0x8B;
constexpr uint8_t Left = 0x8C;
constexpr uint8_t Right = 0x8D;
constexpr uint8_t F1 = 0x91, F2 = 0x92, F3 = 0x93, F4 = 0x94, F5 = 0x95;
constexpr uint8_t F6 = 0x96, F7 = 0x97, F8 = 0x98, F9 = 0x99, F10 = 0x9A;
constexpr uint8_t Home = 0xB1;   // also Ctrl-A
constexpr uint8_t End = 0xB2;    // also Ctrl-G
constexpr uint8_t CtrlY = 0xB3;  // clear field
constexpr uint8_t CtrlD = 0xB4;  // clear to end
constexpr uint8_t CtrlU = 0xB5;  // clear to start
constexpr uint8_t CtrlF = 0xB6;  // word right
constexpr uint8_t CtrlR = 0xB7;  // word left
constexpr uint8_t Del = 0xB8;    // also Ctrl-V
constexpr uint8_t Backspace = 0xB9;
constexpr uint8_t PgDn = 0xBA;
constexpr uint8_t PgUp = 0xBB;
constexpr uint8_t InsertToggle = 0xFF;  // never returned: toggles insert mode

// PC scan codes of the extended keys, as the console layer delivers them.
namespace scan {
constexpr uint8_t F1 = 0x3B, F2 = 0x3C, F10 = 0x44, F11 = 0x85, F12 = 0x86;
constexpr uint8_t Home = 0x47, Up = 0x48, PgUp = 0x49, Left = 0x4B, Right = 0x4D;
constexpr uint8_t End = 0x4F, Down = 0x50, PgDn = 0x51, Insert = 0x52, Del = 0x53;
constexpr uint8_t CtrlEnd = 0x75, F6 = 0x40, ShiftF1 = 0x54, ShiftF7 = 0x5A;
// A typed NUL (Ctrl-Space, Ctrl-@), as a PC's keyboard reports it: 0 is the
// extended-key lead, so the character itself cannot be a plain byte.
constexpr uint8_t Nul = 0x03;
}  // namespace scan

// Maps a plain byte (prefix false) or an extended scan code (prefix true) to a
// key code; 0 means the key is swallowed.
uint8_t MapKey(bool extended, uint8_t byte);

// Ctrl-T and a second key stand for the keys a terminal may lack (a VT100
// has no Insert, PgUp or F5 ... F10 of its own; a VT220 no F5): 1 ... 9 and
// 0 are F1 ... F10, I Insert, U PgUp, N PgDn, H Home, E End (either case);
// Ctrl-T twice is Ctrl-T. The same prefix leads the serial terminal's letters.
constexpr uint8_t KeyPrefix = 0x14;
// The key code of the key after the prefix; 0 for one that means nothing.
uint8_t MapPrefixedKey(uint8_t byte);
// The PC scan code of the extended key the key after the prefix stands for;
// 0 for one that means nothing (Ctrl-T itself included).
uint8_t PrefixedScanCode(uint8_t byte);
}  // namespace key
