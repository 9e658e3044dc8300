// The character-set editor: a port's accept or terminate set as a 16 x 16
// grid of character codes, members in reverse, changed with Space, + and -.
#pragma once
#include "config/module_config.h"
#include "config/online_writes.h"
#include "ui/key_loop.h"

// Edits set in place until Enter, then redraws the port editor screen of the
// writes' mode and model. titleWord is "Accept" or "Terminate".
void EditCharSet(CharSet& set, int port, const char* titleWord, const OnlineWrites& writes);

// The grid as a screen of the key loop, with the cursor on a code: Space
// toggles it, + and - set and clear it and step on (Changed), arrows move
// (Redraw), Enter leaves.
class CharSetScreen final : public KeyScreen {
  public:
    explicit CharSetScreen(CharSet& set) : set_(set) {}
    int NextKey() override;
    KeyResult OnKey(int key) override;
    // The code's name and parity beside the grid.
    void Show() override;
    int Cursor() const { return code_; }

  private:
    CharSet& set_;
    int code_ = 0;
};

// The code the cursor moves to after + or -: one cell right, then the start
// of the next row; the last row wraps to its own start.
int AdvanceCharSetCursor(int code);
// The cursor code after an arrow key, stopping at the grid's edges.
int MoveCharSetCursor(int code, int key);
// What the editor shows for a code: its name (control names for 0-31 and
// 127, the character otherwise, eighth bit cleared) and its parity word.
const char* CharSetCodeName(int code, char (&buffer)[4]);
const char* CharSetCodeParity(int code);
