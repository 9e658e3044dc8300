// The string field with its F9 escape into the hex editor. F9 is a hot key:
// its handler notes where the text cursor stands and queues an internal key
// that ends the text field, so the hex editor runs between two edits of the
// same field.
#include "editors/hex_string_editor.h"

#include <algorithm>

#include "editors/hex_editor_grid.h"
#include "ui/console/keys.h"
#include "ui/edit_text.h"
#include "ui/key_loop.h"
#include "ui/screen.h"

namespace {

constexpr char kEdgeMark = char(249);
constexpr uint8_t kOpenHexEditor = 0x9F;  // no key produces it

// The text field as a screen of the key loop: the F9 key it ends with opens
// the hex editor and the text is edited on; any other ending key leaves.
class HexStringScreen final : public KeyScreen {
  public:
    HexStringScreen(char* buffer, int row, int col, int maxLen, const char* exits,
                    const int& startPos)
        : buffer_(buffer),
          row_(row),
          col_(col),
          maxLen_(maxLen),
          exits_(exits),
          startPos_(startPos) {}

    int NextKey() override {
        return EditText(buffer_, row_, col_, maxLen_, kEdgeMark, " -~", exits_,
                        tf::StartWithText | tf::ReplaceOld);
    }

    KeyResult OnKey(int k) override {
        ending = k;
        if (k != kOpenHexEditor) return KeyResult::Leave;
        RunHexEditor(buffer_, maxLen_, startPos_);
        return KeyResult::Handled;
    }

    void Show() override {}

    int ending = 0;

  private:
    char* buffer_;
    int row_, col_, maxLen_;
    const char* exits_;
    const int& startPos_;  // where F9 found the text cursor
};

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
    HexStringScreen screen(buffer, row, col, maxLen, exits, startPos);
    RunKeyLoop(screen);
    RemoveHotKey(key::F9);
    CloseWindow(hint);
    return screen.ending;
}
