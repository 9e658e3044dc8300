// A one-line editor for the emulator's two fields: accepted characters are
// typed in, Backspace deletes, an exit key ends the edit, Esc empties it.
// Keys come through GetKey, so hot keys (F1 print screen) work while editing.
#include "emulator/emulator_fields.h"

#include <cstdint>
#include <cstring>

#include "ui/keys.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

namespace {

struct FieldSpec {
    int row, col, width;
    char fill;
    const char* accepted;  // the characters that may be typed
    const char* exitKeys;  // key codes that end the edit
    bool upper;            // a-z typed as A-Z
    bool replaceFirst;     // the first character typed replaces the shown text
};

void Draw(const FieldSpec& f, const std::string& text, uint32_t attribute) {
    PutText(text.c_str(), f.row, f.col, f.width, f.fill, attribute);
    SetCursor(f.row - 1, f.col - 1 + int(text.size() < size_t(f.width) ? text.size() : f.width - 1));
}

int EditLine(const FieldSpec& f, std::string& text) {
    bool first = true;
    int ending = 0;
    ShowCursor();
    while (!ending) {
        Draw(f, text, tf::Highlight);
        int k = GetKey();
        if (f.upper && k >= 'a' && k <= 'z') k -= 'a' - 'A';
        bool accepted = k > 0 && k < 0x80 && std::strchr(f.accepted, k);
        if (accepted) {
            if (f.replaceFirst && first) text.clear();
            if (text.size() < size_t(f.width))
                text += char(k);
            else
                Beep();
        } else if (k > 0 && std::strchr(f.exitKeys, k)) {
            ending = k;
        } else if (k == key::Esc) {
            text.clear();
            ending = k;
        } else if (k == key::Backspace && !text.empty()) {
            text.pop_back();
        } else {
            Beep();
        }
        first = false;
    }
    HideCursor();
    Draw(f, text, tf::Highlight);
    return ending;
}

}  // namespace

int AskEmulatedPort() {
    static const char kExit[] = {char(key::Enter), char(key::Esc), 0};
    const FieldSpec field{2, 25, 1, ' ', "1234", kExit, false, true};
    for (;;) {
        std::string text = "1";
        if (EditLine(field, text) == key::Esc) return 0;
        // Backspace can leave the field empty: that is no port, ask again.
        if (!text.empty()) return text[0] - '0';
    }
}

int EditHexCodes(std::string& text) {
    static const char kExit[] = {char(key::Enter), char(key::F10), char(key::F1), 0};
    const FieldSpec field{9, 9, 60, '.', "0123456789ABCDEF ", kExit, true, false};
    text.clear();
    for (;;) {
        int k = EditLine(field, text);
        if (k != key::F1) return k;
        // F1 is normally taken by the print-screen hot key before it gets
        // here; if it was not, it still only leads back into the field.
    }
}
