// The ncurses console's state, shared by its screen half
// (ncurses_console.cpp) and its keyboard half (ncurses_keys.cpp).
#pragma once
#include <deque>
#include <utility>

#define NCURSES_WIDECHAR 1
#include <ncursesw/curses.h>
#include <ncursesw/term.h>

#include "ui/console/ncurses_console.h"

namespace con {

// Ctrl-End has no ncurses name; it gets a private code of ours.
constexpr int kCtrlEndCode = KEY_MAX + 1;

// Whether the description holds a string capability.
inline bool Present(const char* capability) {
    return capability && capability != reinterpret_cast<char*>(-1);
}

struct NcursesConsole::Impl {
    SCREEN* screen = nullptr;
    WINDOW* pad = nullptr;
    bool utf8 = false;        // the locale and the terminal both take UTF-8
    chtype narrow[256] = {};  // else each byte as ASCII or a line-drawing character
    bool colour = false;
    bool tooSmall = false;
    int cursorRow = 0, cursorCol = 0;
    bool cursorVisible = false;
    std::deque<int> bytes;  // translated key bytes not yet read
    // Input read ahead and put back: (OK or KEY_CODE_YES, character or code).
    std::deque<std::pair<int, wint_t>> putBack;
    int pairsUsed = 0;
    int ctrlEndCode = kCtrlEndCode;  // the code Ctrl-End comes as
    int shiftedF1 = 0;               // the ncurses code of Shift-F1; 0 when the terminal has none
    short pairOf[256] = {};
    // The cells of the last two rows that show something, row 24 first.
    bool ink[2][kCols] = {};
    int inkCount[2] = {};

    attr_t AttributesOf(uint8_t c, short& pair);
    void Put(int row, int col, uint8_t ch, uint8_t colourByte);
    void Refresh();
    // The next character typed, as wget_wch gives it (OK with a character,
    // KEY_CODE_YES with a key code, ERR when none came in the window's
    // time), but with the bytes read by us: a UTF-8 character is decoded,
    // and a byte that starts none is a Latin-1 character (what a VT sends
    // whatever the locale) instead of stopping the keyboard.
    int ReadInput(wint_t* ch);
    void PutBack(int status, wint_t ch) { putBack.emplace_front(status, ch); }
    void Translate(int status, wint_t ch);
    void TranslateKeyCode(int code);
    void TranslateBoundKey(int code);
    void TranslateEsc();
    void TranslateSequence(char first);
    void PushExtended(uint8_t scan);
    void DefineKeys();  // the keys ncurses does not know by the description
    void NewLine();
    void ChooseGlyphs();
    void NoteInk(int row, int col, uint8_t ch, uint8_t colourByte);
    void ShowPicture(int termRows);
    [[noreturn]] void LeaveTooSmall();
    bool TooSmallKey(int status, wint_t ch);
};

}  // namespace con
