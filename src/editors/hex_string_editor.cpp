// The string field with its F9 escape into the hex editor. F9 is a hot key:
// its handler notes where the text cursor stands and queues an internal key
// that ends the text field, so the hex editor runs between two edits of the
// same field.
#include "editors/hex_string_editor.h"

#include <algorithm>

#include "editors/hex_editor_grid.h"
#include "ui/console/keys.h"
#include "ui/edit_text.h"
#include "ui/screen.h"

namespace {

constexpr char kEdgeMark = char(249);
constexpr uint8_t kOpenHexEditor = 0x9F;  // no key produces it

}  // namespace

int EditHexString(char* buffer, int row, int col, int maxLen) {
    // Where F9 found the text cursor: the hex editor opens there.
    int startPos = 0;
    WindowHandle hint = OpenWindow(25, 50, 25, 80, "Press F9 to edit in hexadecimal");
    AddHotKey(key::F9, [&startPos, maxLen](int, int cursor) {
        // Outside a text field (the hex editor itself) there is no position.
        if (cursor < 0) return 0;
        startPos = std::min(cursor, maxLen - 1);
        return int(kOpenHexEditor);  // one of the field's ending keys: the field ends with it
    });
    const char exits[] = {char(key::Enter), char(key::Esc),       char(key::Up),
                          char(key::Down),  char(kOpenHexEditor), 0};
    int k;
    for (;;) {
        k = EditText(buffer, row, col, maxLen, kEdgeMark, " -~", exits,
                     tf::StartWithText | tf::ReplaceOld);
        if (k != kOpenHexEditor) break;
        RunHexEditor(buffer, maxLen, startPos);
    }
    RemoveHotKey(key::F9);
    CloseWindow(hint);
    return k;
}
