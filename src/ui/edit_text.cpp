// EditText: one field edited in place. The editor keeps the text and cursor
// and redraws the field through PutText, which only sends changed cells.
#include "ui/edit_text.h"

#include <cstring>
#include <string>

#include "ui/char_set.h"
#include "ui/console/keys.h"
#include "ui/key_loop.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

namespace {

bool IsWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

class TextEditor {
  public:
    TextEditor(int row, int col, int width, char fill, uint32_t flags)
        : row_(row), col_(col), width_(width), fill_(fill), flags_(flags) {}

    void Start(const char* buffer) {
        if (flags_ & tf::StartWithText) {
            text_.assign(buffer, strnlen(buffer, size_t(width_)));
            cursor_ = (flags_ & tf::ReplaceOld) ? 0 : int(text_.size());
        }
        Draw();
    }

    void Type(char c) {
        if ((flags_ & tf::ReplaceOld) && firstKey_) {
            text_.clear();
            cursor_ = 0;
        }
        const int length = int(text_.size());
        if (cursor_ < length) {
            if (!InsertMode()) {
                text_[size_t(cursor_++)] = c;
            } else if (length < width_) {
                text_.insert(size_t(cursor_++), 1, c);
            } else {
                Beep();  // a full field refuses insertion even when silent
            }
        } else if (length >= width_) {
            Bell();
        } else {
            text_.resize(size_t(cursor_), ' ');  // a gap after the end becomes spaces
            text_ += c;
            ++cursor_;
        }
        Draw();
    }

    int Cursor() const { return cursor_; }
    bool Full() const { return int(text_.size()) >= width_; }

    // Editing keys; false for a key that has no meaning here.
    bool Edit(int k) {
        const int length = int(text_.size());
        switch (k) {
            case key::CtrlY:
                text_.clear();
                cursor_ = 0;
                break;
            case key::CtrlD:
                if (cursor_ < length) text_.erase(size_t(cursor_));
                break;
            case key::CtrlU:
                text_.erase(0, size_t(std::min(cursor_, length)));
                cursor_ = 0;
                break;
            case key::Left:
                if (cursor_ > 0) --cursor_;
                break;
            case key::Right:
                MoveRight();
                break;
            case key::Home:
                cursor_ = 0;
                break;
            case key::End:
                cursor_ = length;
                break;
            case key::CtrlF:
                WordRight();
                break;
            case key::CtrlR:
                WordLeft();
                break;
            case key::Del:
                if (cursor_ < length) text_.erase(size_t(cursor_), 1);
                break;
            case key::Backspace:
                if (cursor_ > 0) {
                    --cursor_;
                    if (cursor_ < length) text_.erase(size_t(cursor_), 1);
                }
                break;
            default:
                return false;
        }
        Draw();
        return true;
    }

    void Clear() {
        text_.clear();
        cursor_ = 0;
    }
    // The old text is kept from here on: it was replaced or edited.
    void KeyDone() { firstKey_ = false; }
    void Bell() {
        if (!(flags_ & tf::Silent)) Beep();
    }

    void SetAccepted(const KeySet& accepted) { spaceAccepted_ = accepted.test(' '); }

    void PlaceCursor() const { SetCursor(ClampedRow(), ClampedCol() + cursor_); }

    // The final text as the caller's buffer gets it, and the field as shown.
    void Finish(char* buffer) {
        std::string out = text_;
        if (flags_ & tf::Pad) {
            int pad = width_ - int(out.size());
            if (pad > 0 && (flags_ & (tf::Centre | tf::RightAlign))) {
                int shift = (flags_ & tf::Centre) ? pad / 2 : pad;
                out.insert(0, size_t(shift), ' ');
            }
            out.resize(size_t(width_), ' ');
            std::memcpy(buffer, out.data(), out.size());
            buffer[width_] = '\0';
        } else {
            std::memcpy(buffer, out.data(), out.size());
            std::memset(buffer + out.size(), 0, size_t(width_) - out.size() + 1);
        }
        std::string shown = (flags_ & tf::Hidden) ? std::string(out.size(), fill_) : out;
        PutText(shown.c_str(), row_, col_, width_, ' ', flags_ & tf::AttributeMask);
    }

  private:
    int ClampedRow() const { return row_ < 1 ? 0 : (row_ > 25 ? 24 : row_ - 1); }
    int ClampedCol() const { return col_ < 1 ? 0 : col_ - 1; }

    void Draw() const {
        std::string shown = (flags_ & tf::Hidden) ? std::string(text_.size(), fill_) : text_;
        PutText(shown.c_str(), row_, col_, width_, fill_, flags_ & tf::AttributeMask);
    }

    void MoveRight() {
        if (cursor_ < int(text_.size()))
            ++cursor_;
        else if (spaceAccepted_ && cursor_ < width_)
            ++cursor_;
    }

    void WordRight() {
        const int length = int(text_.size());
        while (cursor_ < length && IsWordChar(text_[size_t(cursor_)])) ++cursor_;
        while (cursor_ < length && !IsWordChar(text_[size_t(cursor_)])) ++cursor_;
    }

    void WordLeft() {
        if (cursor_ > int(text_.size())) cursor_ = int(text_.size());
        while (cursor_ > 0 && IsWordChar(text_[size_t(cursor_ - 1)])) --cursor_;
        if (cursor_ > 0)
            while (cursor_ > 0 && !IsWordChar(text_[size_t(cursor_ - 1)])) --cursor_;
    }

    int row_, col_, width_;
    char fill_;
    uint32_t flags_;
    std::string text_;
    int cursor_ = 0;
    bool firstKey_ = true;
    bool spaceAccepted_ = false;
};

// The field as a screen of the key loop: an accepted character is typed, an
// editing key edits, an exit key or Esc leaves, and any other key is refused
// (with a bell unless the field is silent).
class TextFieldScreen final : public KeyScreen {
  public:
    TextFieldScreen(TextEditor& editor, const KeySet& accepted, const KeySet& exits, uint32_t flags)
        : editor_(editor), accepted_(accepted), exits_(exits), flags_(flags) {}

    int NextKey() override {
        editor_.PlaceCursor();
        ShowCursor();
        const int k = GetFieldKey(editor_.Cursor());
        editor_.PlaceCursor();
        return k;
    }

    KeyResult OnKey(int k) override {
        if ((flags_ & tf::Upper) && k >= 'a' && k <= 'z') k -= 'a' - 'A';
        const bool isAccepted = accepted_.test(size_t(k));
        if (isAccepted) {
            editor_.Type(char(k));
            editor_.KeyDone();
            if ((flags_ & tf::EndWhenFull) && editor_.Full()) k = key::Enter;
        }
        if (exits_.test(size_t(k))) return End(k);
        if (isAccepted) return KeyResult::Handled;
        if (k == key::Esc) {
            editor_.Clear();
            return End(k);
        }
        // An editing key keeps the old text for editing; a refused key
        // changes nothing, so the next character typed still replaces it.
        if (editor_.Edit(k)) {
            editor_.KeyDone();
            return KeyResult::Handled;
        }
        return (flags_ & tf::Silent) ? KeyResult::Handled : KeyResult::Ignored;
    }

    void Show() override {}

    int ending = 0;

  private:
    KeyResult End(int k) {
        ending = k;
        return KeyResult::Leave;
    }

    TextEditor& editor_;
    const KeySet& accepted_;
    const KeySet& exits_;
    uint32_t flags_;
};

}  // namespace

int EditText(char* buffer, int row, int col, int width, char fill, const char* accepted,
             const char* exitKeys, uint32_t flags) {
    if (width < 0) width = 0;
    const KeySet acceptedSet = CharSetOf(accepted);
    const KeySet exitSet = KeySetOf(exitKeys);
    if (flags & tf::Bell) Beep();
    const bool savedInsert = InsertMode();
    if (flags & tf::Overwrite) SetInsertMode(false);

    TextEditor editor(row, col, width, fill, flags);
    editor.SetAccepted(acceptedSet);
    editor.Start(buffer);
    TextFieldScreen screen(editor, acceptedSet, exitSet, flags);
    RunKeyLoop(screen);
    editor.Finish(buffer);
    HideCursor();
    // Insert toggled by the user carries over to the next field; only a
    // forced overwrite is undone.
    if (flags & tf::Overwrite) SetInsertMode(savedInsert);
    return screen.ending;
}
