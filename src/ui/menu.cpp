// The menu engine: bar and pull-down selection by arrows or hot letters.
#include "ui/menu.h"

#include <cstring>
#include <vector>

#include "ui/console/keys.h"
#include "ui/key_loop.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

namespace {

constexpr int kMaxTitles = 8;

int Length(const char* text) { return int(std::strlen(text)); }

// The first upper-case letter selects; 0 when there is none.
char HotLetter(const char* text) {
    for (const char* p = text; *p; ++p)
        if (*p >= 'A' && *p <= 'Z') return *p;
    return 0;
}

int UpperCased(int k) { return k >= 'a' && k <= 'z' ? k - 'a' + 'A' : k; }

int MatchHotLetter(const char* const* items, int count, int k) {
    k = UpperCased(k);
    for (int i = 0; i < count; ++i)
        if (HotLetter(items[i]) == k) return i;
    return -1;
}

// Draws a text with every capital letter in its own attribute.
void DrawItem(const char* text, int row, int col, int width, uint32_t attribute,
              uint32_t capitalsAttribute) {
    PutText(text, row, col, width, ' ', attribute);
    for (int i = 0; text[i]; ++i) {
        if (text[i] < 'A' || text[i] > 'Z') continue;
        char letter[2] = {text[i], 0};
        PutText(letter, row, col + i, 1, ' ', capitalsAttribute);
    }
}

struct Bar {
    const char* const* titles;
    int count;
    int row;
    int columns[kMaxTitles];
};

void DrawTitle(const Bar& bar, int i, bool selected) {
    if (selected)
        DrawItem(bar.titles[i], bar.row, bar.columns[i], 0, tf::Normal, tf::Highlight);
    else
        DrawItem(bar.titles[i], bar.row, bar.columns[i], 0, tf::Reverse,
                 tf::Reverse | tf::Highlight);
}

void DrawBar(const Bar& bar, int selected) {
    if (selected != 0) {
        PutText(bar.titles[0], bar.row, 1, 80, ' ', tf::Reverse);
    } else {
        int after = Length(bar.titles[0]) + 1;
        PutText("", bar.row, after, 80 - after + 1, ' ', tf::Reverse);
    }
    DrawItem(bar.titles[0], bar.row, 1, 0, tf::Reverse, tf::Reverse | tf::Highlight);
    for (int i = 1; i < bar.count; ++i)
        if (i != selected) DrawTitle(bar, i, false);
    DrawTitle(bar, selected, true);
}

int Clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

// The bar as a screen of the key loop: arrows move the selection, Enter,
// line feed and a hot letter choose, Esc and F1 leave with nothing.
// A menu read key by key: the entry under the cursor, and the choice it
// left with (1-based; 0 for none).
class MenuScreen : public KeyScreen {
  public:
    explicit MenuScreen(int initial) : selected(initial) {}
    int NextKey() override { return GetKey(); }
    void Show() override {}

    int selected;
    int result = 0;

  protected:
    KeyResult Choose(int choice) {
        result = choice;
        return KeyResult::Leave;
    }
};

class BarScreen final : public MenuScreen {
  public:
    BarScreen(const Bar& bar, int initial) : MenuScreen(initial), bar_(bar) {}
    KeyResult OnKey(int k) override {
        if (k == key::Enter || k == key::LineFeed) {
            PutText(bar_.titles[selected], bar_.row, bar_.columns[selected], 0, ' ', tf::Highlight);
            return Choose(k == key::Enter ? selected + 1 : -(selected + 1));
        }
        if (k == key::Esc || k == key::F1) return Choose(0);
        if (k == key::Left || k == key::Right) {
            int moved = Clamp(selected + (k == key::Left ? -1 : 1), 0, bar_.count - 1);
            if (moved != selected) {
                DrawTitle(bar_, selected, false);
                selected = moved;
                DrawTitle(bar_, selected, true);
            }
            return KeyResult::Handled;
        }
        int match = MatchHotLetter(bar_.titles, bar_.count, k);
        if (match < 0) return KeyResult::Ignored;
        if (match != selected) DrawTitle(bar_, selected, false);
        PutText(bar_.titles[match], bar_.row, bar_.columns[match], 0, ' ', tf::Highlight);
        return Choose(match + 1);
    }

  private:
    const Bar& bar_;
};

struct PullDown {
    const char* const* entries;
    int row, column;
    int count, longest;
};

void DrawEntry(const PullDown& menu, int i, bool chosen) {
    if (chosen)
        DrawItem(menu.entries[i], menu.row + 1 + i, menu.column + 1, menu.longest + 1, tf::Reverse,
                 tf::Reverse | tf::Highlight);
    else
        DrawItem(menu.entries[i], menu.row + 1 + i, menu.column + 1, menu.longest + 1, tf::Normal,
                 tf::Highlight);
}

// A pull-down as a screen of the key loop: arrows move, Enter and a hot
// letter choose, Esc and F1 leave with nothing; with sideStep, Left and Right
// go to the neighbour's pull-down.
class PullDownScreen final : public MenuScreen {
  public:
    PullDownScreen(const PullDown& menu, int initial, bool sideStep)
        : MenuScreen(initial), menu_(menu), sideStep_(sideStep) {}
    KeyResult OnKey(int k) override {
        if (k == key::Enter) return Choose(selected + 1);
        if (k == key::Esc || k == key::F1) return Choose(0);
        if (k == key::Down || k == key::Up) {
            int moved = Clamp(selected + (k == key::Down ? 1 : -1), 0, menu_.count - 1);
            if (moved != selected) {
                DrawEntry(menu_, selected, false);
                selected = moved;
                DrawEntry(menu_, selected, true);
            }
            return KeyResult::Handled;
        }
        if ((k == key::Left || k == key::Right) && sideStep_) {
            // Esc closes this pull-down, the arrow moves the bar and the line
            // feed opens the neighbour's pull-down, all through the usual paths.
            const char keys[] = {char(key::Esc), char(k), char(key::LineFeed), 0};
            StuffKeys(keys);
            return KeyResult::Handled;
        }
        int match = MatchHotLetter(menu_.entries, menu_.count, k);
        return match >= 0 ? Choose(match + 1) : KeyResult::Ignored;
    }

  private:
    const PullDown& menu_;
    bool sideStep_;
};

struct MenuGroup {
    const char* title;
    std::vector<const char*> entries;  // null-terminated
};

std::vector<MenuGroup> SplitTable(const char* const* table) {
    std::vector<MenuGroup> groups;
    while (*table && groups.size() < kMaxTitles) {
        MenuGroup g{*table++, {}};
        while (*table) g.entries.push_back(*table++);
        g.entries.push_back(nullptr);
        ++table;
        groups.push_back(std::move(g));
    }
    return groups;
}

}  // namespace

int MenuBarSelect(const char* const* titles, int count, int row, int initial) {
    Bar bar{titles, count, row, {}};
    int total = 0;
    for (int i = 0; i < count; ++i) total += Length(titles[i]);
    int gap = count > 1 ? (80 - total) / (count - 1) : 0;
    bar.columns[0] = 1;
    for (int i = 1; i < count; ++i)
        bar.columns[i] = bar.columns[i - 1] + Length(titles[i - 1]) + gap;

    BarScreen screen(bar, Clamp(initial - 1, 0, count - 1));
    DrawBar(bar, screen.selected);
    RunKeyLoop(screen);
    return screen.result;
}

int PullDownSelect(const char* const* entries, int row, int column, int initial, bool sideStep) {
    PullDown menu{entries, row, column, 0, 0};
    while (entries[menu.count]) {
        if (Length(entries[menu.count]) > menu.longest) menu.longest = Length(entries[menu.count]);
        ++menu.count;
    }
    if (menu.count == 0) return 0;
    PullDownScreen screen(menu, Clamp(initial - 1, 0, menu.count - 1), sideStep);
    if (menu.column + menu.longest + 2 > 80) menu.column = 78 - menu.longest;
    WindowHandle window =
        OpenWindow(row, menu.column, row + menu.count + 1, menu.column + menu.longest + 2, "");
    for (int i = 0; i < menu.count; ++i) DrawEntry(menu, i, i == screen.selected);
    RunKeyLoop(screen);
    CloseWindow(window);
    return screen.result;
}

int RunMenu(const char* const* table, int barRow, int initialCode) {
    std::vector<MenuGroup> groups = SplitTable(table);
    int count = int(groups.size());
    const char* titles[kMaxTitles];
    int total = 0;
    for (int i = 0; i < count; ++i) {
        titles[i] = groups[i].title;
        total += Length(titles[i]);
    }
    int gap = (80 - total) / count;
    int columns[kMaxTitles];
    columns[0] = 1;
    for (int i = 1; i < count; ++i) columns[i] = columns[i - 1] + Length(titles[i - 1]) + gap;

    int title = initialCode / 100;
    int entry = initialCode % 100;
    for (;;) {
        int k = MenuBarSelect(titles, count, barRow, title);
        if (k == 0) return 0;
        bool askedForPullDown = k < 0;
        title = askedForPullDown ? -k : k;
        const MenuGroup& g = groups[title - 1];
        if (g.entries.size() == 1) {
            if (askedForPullDown) continue;
            return title * 100;
        }
        int e = PullDownSelect(g.entries.data(), barRow + 1, columns[title - 1], entry, true);
        if (e > 0) return title * 100 + e;
    }
}
