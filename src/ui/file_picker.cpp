// The file picker. Items stand in pages of 12 rows by as many columns as the
// longest name leaves room for; a selection is (page, column, row) and an
// index past the end means the last item.
#include "ui/file_picker.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>

#include "text/pattern_match.h"
#include "ui/console/keys.h"
#include "ui/edit_text.h"
#include "ui/key_loop.h"
#include "ui/name_on_screen.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

namespace {

constexpr int kListRow = 14;
constexpr int kPageRows = 12;
constexpr int kMinWidth = 8;
// A name with its brackets fills a row from column 1 to 80.
constexpr int kMaxWidth = 78;

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return s;
}

// What the list shows for a name: the name as the screen holds it and,
// when it is longer than a row, its start and "~" to mark that the rest is
// cut. The item still stands for its entry.
std::string ShownName(const std::string& name) {
    std::string shown = NameOnScreen(name);
    if (shown.size() > size_t(kMaxWidth)) shown = shown.substr(0, kMaxWidth - 1) + '~';
    return shown;
}

std::string BaseOf(const std::string& file) {
    const size_t dot = file.rfind('.');
    return dot == std::string::npos ? file : file.substr(0, dot);
}

void DrawItem(const PickItem& item, const PickLayout& layout, int r, int c, uint32_t attribute) {
    const int row = kListRow + r, col = 2 + (layout.width + 2) * c;
    if (item.kind == 0) {
        PutText(item.name.c_str(), row, col, layout.width, ' ', attribute);
        return;
    }
    const char* shown = item.name == ".." ? " parent " : item.name.c_str();
    PutText("[", row, col - 1, 1, ' ', 0);
    PutText(shown, row, col, layout.width, ' ', attribute | tf::Highlight);
    PutText("]", row, col + layout.width, 1, ' ', 0);
}

class Picker {
  public:
    Picker(const char* pattern, bool offerDirs) : pattern_(pattern), offerDirs_(offerDirs) {}

    void Relist() {
        items_ = ListPickItems(pattern_, offerDirs_);
        layout_ = PickLayoutOf(items_);
        page_ = row_ = col_ = 0;
        ShowPage(0);
    }

    int Count() const { return int(items_.size()); }
    int PageSize() const { return kPageRows * layout_.columns; }
    const PickLayout& Layout() const { return layout_; }

    // Clamps the selection to the last item and returns it.
    const PickItem* Select() {
        if (items_.empty()) return nullptr;
        int index = std::min(row_ + kPageRows * col_ + PageSize() * page_, Count() - 1);
        row_ = (index - PageSize() * page_) % kPageRows;
        col_ = (index - PageSize() * page_) / kPageRows;
        return &items_[size_t(index)];
    }

    bool ShowPage(int page) {
        if (PageSize() * page >= Count() && !(page == 0 && items_.empty())) return false;
        page_ = page;
        ClearToEndOfScreen(kListRow, 1);
        for (int i = PageSize() * page; i < Count() && i < PageSize() * (page + 1); ++i) {
            const int onPage = i % PageSize();
            DrawItem(items_[size_t(i)], layout_, onPage % kPageRows, onPage / kPageRows, 0);
        }
        return true;
    }

    // Moves the selection by a key; true when the page was redrawn.
    bool Move(int k) {
        const int lastCol = layout_.columns - 1;
        switch (k) {
            case key::Down:
                if (row_ < kPageRows - 1) ++row_;
                return false;
            case key::Up:
                if (row_ > 0) --row_;
                return false;
            case key::Home:
                row_ = col_ = 0;
                return false;
            case key::End:
                row_ = kPageRows - 1;
                col_ = lastCol;
                return false;
            case key::Right:
                if (col_ < (Count() - PageSize() * page_) / kPageRows) {
                    if (col_ < lastCol)
                        ++col_;
                    else
                        return ShowPage(page_ + 1);
                }
                return false;
            case key::Left:
                if (col_ > 0)
                    --col_;
                else if (page_ > 0)
                    return ShowPage(page_ - 1);
                return false;
            case key::PgDn:
                if (ShowPage(page_ + 1)) {
                    row_ = col_ = 0;
                    return true;
                }
                return Move(key::End);
            case key::PgUp:
                if (page_ > 0 && ShowPage(page_ - 1)) {
                    row_ = kPageRows - 1;
                    col_ = lastCol;
                    return true;
                }
                return Move(key::Home);
        }
        return false;
    }

    int Row() const { return row_; }
    int Col() const { return col_; }

  private:
    const char* pattern_;
    bool offerDirs_;
    std::vector<PickItem> items_;
    PickLayout layout_{kMinWidth, 8};
    int page_ = 0, row_ = 0, col_ = 0;
};

}  // namespace

std::vector<PickItem> ListPickItems(const char* pattern, bool offerDirectories) {
    std::vector<PickItem> items;
    DIR* dir = ::opendir(".");
    if (!dir) return {};
    while (dirent* e = ::readdir(dir)) {
        const std::string real = e->d_name;
        if (real == ".") continue;
        struct stat st;
        if (::stat(real.c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) {
            if (offerDirectories) items.push_back({real, real, 1});
        } else if (S_ISREG(st.st_mode) && PatternMatch(pattern, Upper(real).c_str())) {
            if (!BaseOf(real).empty()) items.push_back({BaseOf(real), real, 0});
        }
    }
    ::closedir(dir);
    // Two files that would look the same without their extensions (PLANT.KOV
    // and PLANT.kov) are shown with them.
    std::map<std::string, int> sameBase;
    for (const PickItem& item : items)
        if (item.kind == 0) ++sameBase[item.name];
    for (PickItem& item : items) {
        if (item.kind == 0 && sameBase[item.name] > 1) item.name = item.real;
        item.name = ShownName(item.name);
    }
    // By the name ignoring case, so PLANT and plant stand together, then by
    // the entry, so the order does not depend on the directory's.
    std::sort(items.begin(), items.end(), [](const PickItem& a, const PickItem& b) {
        const std::string ua = Upper(a.name), ub = Upper(b.name);
        return ua != ub ? ua < ub : a.real < b.real;
    });
    return items;
}

PickLayout PickLayoutOf(const std::vector<PickItem>& items) {
    int width = kMinWidth;
    for (const PickItem& item : items) width = std::max(width, int(item.name.size()));
    width = std::min(width, kMaxWidth);
    return {width, 1 + (kMaxWidth - width) / (width + 2)};
}

namespace {

// The picker as a screen of the key loop: its next key is the one that ended
// the name field, typed with the highlighted file's name offered in it.
class PickScreen final : public KeyScreen {
  public:
    PickScreen(int row, int col, int fieldWidth, const char* pattern, bool offerDirectories)
        : picker_(pattern, offerDirectories), row_(row), col_(col), fieldWidth_(fieldWidth) {
        picker_.Relist();
    }

    int NextKey() override {
        static const char kExits[] = {char(key::Enter),
                                      char(key::Esc),
                                      char(key::Right),
                                      char(key::Left),
                                      char(key::Up),
                                      char(key::Down),
                                      char(key::PgDn),
                                      char(key::PgUp),
                                      char(key::Home),
                                      char(key::End),
                                      0};
        item_ = picker_.Select();
        selectedRow_ = picker_.Row();
        selectedCol_ = picker_.Col();
        if (item_) Highlight(tf::Reverse | tf::Highlight);
        // The highlighted file's name as the field can hold it.
        offered_ = IsFile() ? item_->name.substr(0, size_t(fieldWidth_)) : "";
        std::vector<char> field(size_t(fieldWidth_) + 1, '\0');
        offered_.copy(field.data(), offered_.size());
        int k = EditText(field.data(), row_, col_, fieldWidth_, '.', kFileNameCharacters, kExits,
                         tf::StartWithText | tf::ReplaceOld);
        typed_ = field.data();
        return k;
    }

    KeyResult OnKey(int k) override {
        if (k == key::Esc) return KeyResult::Leave;
        bool redrawn = false;
        if (k == key::Enter) {
            if (!typed_.empty() || IsFile()) {
                // The highlighted file's own name left in the field takes that
                // file, whatever its entry is called; anything else was typed.
                const bool taken = IsFile() && (typed_.empty() || typed_ == offered_);
                name = taken ? item_->name : typed_;
                entry = taken ? item_->real : std::string();
                chosen = true;
                return KeyResult::Leave;
            }
            if (item_) {
                // A directory that cannot be entered leaves us where we are.
                (void)::chdir(item_->real.c_str());
                picker_.Relist();
                redrawn = true;
            }
        } else {
            redrawn = picker_.Move(k);
        }
        if (!redrawn && item_) Highlight(0);
        return KeyResult::Handled;
    }

    void Show() override {}

    bool chosen = false;
    std::string name, entry;

  private:
    bool IsFile() const { return item_ && item_->kind == 0; }
    void Highlight(uint32_t attribute) {
        DrawItem(*item_, picker_.Layout(), selectedRow_, selectedCol_, attribute);
    }

    Picker picker_;
    int row_, col_, fieldWidth_;
    const PickItem* item_ = nullptr;
    int selectedRow_ = 0, selectedCol_ = 0;
    std::string offered_, typed_;
};

}  // namespace

int PickFile(int row, int col, int fieldWidth, const char* pattern, std::string* nameOut,
             bool offerDirectories, std::string* entryOut) {
    PickScreen screen(row, col, std::clamp(fieldWidth, 1, 80), pattern, offerDirectories);
    RunKeyLoop(screen);
    ClearToEndOfScreen(kListRow, 1);
    if (!screen.chosen) return 0;
    *nameOut = screen.name;
    if (entryOut) *entryOut = screen.entry;
    return 1;
}
