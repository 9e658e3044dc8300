// Choice lists, number lists and the small numeric prompt.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ui/char_set.h"
#include "ui/console/keys.h"
#include "ui/fields.h"
#include "ui/key_loop.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

namespace {

int CountTexts(const char* const* texts, int* longest) {
    int n = 0, l = 0;
    for (; texts && texts[n]; ++n) l = std::max(l, int(std::strlen(texts[n])));
    if (longest) *longest = l;
    return n;
}

constexpr char kNumberListExits[] = {char(key::Enter), char(key::Esc), char(key::Down),
                                     char(key::Up), 0};
constexpr int kNumberListWidth = 31;

}  // namespace

int EditNumber(int16_t& value, int row, int col, int width, char fill, const char* exitKeys,
               uint32_t flags) {
    if (width > 80) width = 80;
    char buffer[84] = {};
    if (flags & tf::StartWithText) std::snprintf(buffer, sizeof buffer, "%d", value);
    int k = EditText(buffer, row, col, width, fill, "0-9", exitKeys, flags);
    value = int16_t(std::strtol(buffer, nullptr, 10));
    return k;
}

namespace {

// A choice list as a screen of the key loop: Space, the arrows, + and - (and
// the letters of yes and no) step through the texts, an exit key leaves on
// the one shown, and every other key does nothing.
class ChoiceScreen final : public KeyScreen {
  public:
    ChoiceScreen(int row, int col, const char* const* texts, int count, int longest, int initial,
                 const KeySet& exits)
        : shown(initial),
          row_(row),
          col_(col),
          texts_(texts),
          count_(count),
          longest_(longest),
          exits_(exits) {}

    int NextKey() override { return GetKey(); }

    KeyResult OnKey(int k) override {
        if (exits_.test(size_t(k))) {
            ending = k;
            return KeyResult::Leave;
        }
        const int before = shown;
        switch (k) {
            case ' ':
            case key::Right:
                shown = (shown + 1) % count_;
                break;
            case key::Left:
                shown = (shown + count_ - 1) % count_;
                break;
            case '+':
            case 'S':
            case 's':
            case 'Y':
            case 'y':
                if (shown < count_ - 1) ++shown;
                break;
            case '-':
            case 'N':
            case 'n':
                if (shown > 0) --shown;
                break;
            default:
                return KeyResult::Handled;
        }
        return shown != before ? KeyResult::Changed : KeyResult::Handled;
    }

    void Show() override { PutText(texts_[shown], row_, col_, longest_, ' ', tf::Reverse); }

    int shown;
    int ending = 0;

  private:
    int row_, col_;
    const char* const* texts_;
    int count_, longest_;
    const KeySet& exits_;
};

}  // namespace

int ChooseFromList(int row, int col, const char* const* texts, int16_t& index, const char* exitKeys,
                   uint32_t flags) {
    int longest;
    const int n = CountTexts(texts, &longest);
    if (n == 0) return GetKey();
    const KeySet exits = KeySetOf(exitKeys);
    ChoiceScreen screen(row, col, texts, n, longest, ((index % n) + n) % n, exits);
    screen.Show();
    RunKeyLoop(screen);
    PutText(texts[screen.shown], row, col, longest, ' ', flags & ~tf::Bell);
    index = int16_t(screen.shown);
    return screen.ending;
}

void DrawChoice(int row, int col, const char* const* texts, int index, int width, uint32_t flags) {
    const int n = CountTexts(texts, nullptr);
    const char* text = (index >= 0 && index < n) ? texts[index] : "INVALID";
    PutText(text, row, col, width, ' ', flags & ~tf::Bell);
}

void DrawNumberList(int row, int col, const NumberList& list, uint32_t flags, int width) {
    if (width <= 0 || width > kNumberListWidth) width = kNumberListWidth;
    std::string text = list.count == 0 ? "NONE" : FormatNumberList(list);
    if (int(text.size()) > width) text.assign(size_t(width), '?');
    PutText(text.c_str(), row, col, width, ' ', flags & ~tf::Bell);
}

int EditNumberList(int row, int col, NumberList& list, uint32_t flags) {
    if (list.count > 8) list.count = 8;
    char buffer[kNumberListWidth + 1] = {};
    std::string text = FormatNumberList(list);
    std::snprintf(buffer, sizeof buffer, "%s", text.c_str());
    int k = EditText(buffer, row, col, kNumberListWidth, ' ', "0-9, ", kNumberListExits, flags);
    if (k != key::Esc) ParseNumberList(list, buffer);
    DrawNumberList(row, col, list, flags);
    return k;
}
