// The emulator's two typed fields, edited with the toolkit's line editor so
// that hot keys (F1 print screen) and the editing keys work as everywhere.
#include "emulator_screen/emulator_fields.h"

#include "ui/console/keys.h"
#include "ui/edit_text.h"

int AskEmulatedPort() {
    static const char kExit[] = {char(key::Enter), char(key::Esc), 0};
    for (;;) {
        char text[2] = "1";
        int ending = EditText(text, 2, 25, 1, ' ', "1234", kExit,
                              tf::Highlight | tf::StartWithText | tf::ReplaceOld);
        if (ending == key::Esc) return 0;
        // Backspace or Ctrl-Y can leave the field empty: that is no port, ask
        // again.
        if (text[0]) return text[0] - '0';
    }
}

int EditHexCodes(std::string &text) {
    static const char kExit[] = {char(key::Enter), char(key::F10), char(key::F1), 0};
    char buffer[61] = {};
    uint32_t flags = tf::Highlight | tf::Upper;
    for (;;) {
        int ending = EditText(buffer, 9, 9, 60, '.', "0-9A-F ", kExit, flags);
        // F1 reaches here only when no print-screen hot key took it first;
        // either way the field is edited again with what was typed.
        if (ending != key::F1) {
            text = buffer;
            return ending;
        }
        flags |= tf::StartWithText;
    }
}
