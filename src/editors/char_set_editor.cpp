// The 16 x 16 character-set grid and its keys.
#include "editors/char_set_editor.h"

#include <bit>
#include <cstdio>

#include "config/config_lists.h"
#include "editors/port_editor_screen.h"
#include "ui/console/keys.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

namespace {

constexpr int kGridRow = 8;

void DrawCode(const CharSet& set, int code, bool cursor) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", unsigned(code));
    uint32_t attr = CharSetHas(set, unsigned(code)) ? tf::Reverse : 0;
    if (cursor) attr |= tf::Alert;
    PutText(hex, kGridRow + code / 16, 4 * (code % 16) + 2, 2, ' ', attr);
}

void ShowCodeInfo(int code) {
    char name[4];
    PutText(CharSetCodeName(code, name), 10, 70, 3, ' ', 0);
    PutText(CharSetCodeParity(code), 13, 70, 4, ' ', 0);
}

}  // namespace

int AdvanceCharSetCursor(int code) {
    if (code % 16 < 15) return code + 1;
    return code / 16 < 15 ? code + 1 : code - 15;
}

int MoveCharSetCursor(int code, int k) {
    const int row = code / 16, column = code % 16;
    switch (k) {
        case key::Up:
            return row > 0 ? code - 16 : code;
        case key::Down:
            return row < 15 ? code + 16 : code;
        case key::Left:
            return column > 0 ? code - 1 : code;
        case key::Right:
            return column < 15 ? code + 1 : code;
        default:
            return code;
    }
}

const char* CharSetCodeName(int code, char (&buffer)[4]) {
    const unsigned low = unsigned(code) & 0x7F;
    if (const char* name = ControlCharName(low)) return name;
    buffer[0] = char(low);
    buffer[1] = 0;
    return buffer;
}

const char* CharSetCodeParity(int code) {
    return std::popcount(unsigned(code) & 0xFF) % 2 ? "ODD" : "EVEN";
}

int CharSetScreen::NextKey() { return GetKey(); }

void CharSetScreen::Show() { ShowCodeInfo(code_); }

KeyResult CharSetScreen::OnKey(int k) {
    if (k == key::Enter) return KeyResult::Leave;
    int next = code_;
    KeyResult result = KeyResult::Changed;
    switch (k) {
        case ' ':
            CharSetPut(set_, unsigned(code_), !CharSetHas(set_, unsigned(code_)));
            break;
        case '+':
            CharSetPut(set_, unsigned(code_), true);
            next = AdvanceCharSetCursor(code_);
            break;
        case '-':
            CharSetPut(set_, unsigned(code_), false);
            next = AdvanceCharSetCursor(code_);
            break;
        default:
            // Any other key only moves the cursor, if it is an arrow.
            next = MoveCharSetCursor(code_, k);
            result = KeyResult::Redraw;
            break;
    }
    DrawCode(set_, code_, next == code_);
    if (next != code_) DrawCode(set_, next, true);
    code_ = next;
    return result;
}

void EditCharSet(CharSet& set, int, const char* titleWord, const OnlineWrites& writes) {
    ClearToEndOfScreen(6, 1);
    PutText("", 6, 1, 79, '-', 0);
    PutTextF("Editing %s character set", 7, 1, 0, ' ', 0, titleWord);
    for (int c = 0; c < 256; ++c) DrawCode(set, c, c == 0);
    PutText("Use arrows to move, SPACE to change, RETURN to exit.", 24, 1, 0, ' ', 0);
    CharSetScreen screen(set);
    screen.Show();
    RunKeyLoop(screen);
    ClearToEndOfScreen(6, 1);
    DrawPortEditorScreen(writes);
}
