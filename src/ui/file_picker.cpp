// The file picker. Items stand in pages of 12 rows by 8 columns; a selection
// is (page, column, row) and an index past the end means the last item.
#include "ui/file_picker.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "ui/edit_text.h"
#include "ui/keys.h"
#include "text/pattern_match.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

namespace {

constexpr int kListRow = 14;
constexpr int kPageRows = 12;
constexpr int kPageCols = 8;
constexpr int kPageSize = kPageRows * kPageCols;
constexpr int kNameWidth = 8;

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return s;
}

// What the list shows for an upper-cased name: its printable characters
// (others as "?") and, when it is longer than the field, its first seven and
// "~" to mark that the rest is cut. The item still stands for its entry.
std::string ShownName(const std::string& upper) {
    std::string shown;
    for (unsigned char c : upper) shown += (c >= 0x20 && c < 0x7F) ? char(c) : '?';
    if (shown.size() > size_t(kNameWidth)) shown = shown.substr(0, kNameWidth - 1) + '~';
    return shown;
}

void DrawItem(const PickItem& item, int r, int c, uint32_t attribute) {
    const int row = kListRow + r, col = 2 + 10 * c;
    if (item.kind == 0) {
        PutText(item.name.c_str(), row, col, kNameWidth, ' ', attribute);
        return;
    }
    const char* shown = item.name == ".." ? " parent " : item.name.c_str();
    PutText("[", row, col - 1, 1, ' ', 0);
    PutText(shown, row, col, kNameWidth, ' ', attribute | tf::Highlight);
    PutText("]", row, col + kNameWidth, 1, ' ', 0);
}

class Picker {
  public:
    Picker(const char* pattern, bool offerDirs) : pattern_(pattern), offerDirs_(offerDirs) {}

    void Relist() {
        items_ = ListPickItems(pattern_, offerDirs_);
        page_ = row_ = col_ = 0;
        ShowPage(0);
    }

    bool Empty() const { return items_.empty(); }
    int Count() const { return int(items_.size()); }

    // Clamps the selection to the last item and returns it.
    const PickItem* Select() {
        if (items_.empty()) return nullptr;
        int index = std::min(row_ + kPageRows * col_ + kPageSize * page_, Count() - 1);
        row_ = (index - kPageSize * page_) % kPageRows;
        col_ = (index - kPageSize * page_) / kPageRows;
        return &items_[size_t(index)];
    }

    bool ShowPage(int page) {
        if (kPageSize * page >= Count() && !(page == 0 && items_.empty())) return false;
        page_ = page;
        ClearToEndOfScreen(kListRow, 1);
        for (int i = kPageSize * page; i < Count() && i < kPageSize * (page + 1); ++i)
            DrawItem(items_[size_t(i)], (i % kPageSize) % kPageRows, (i % kPageSize) / kPageRows,
                     0);
        return true;
    }

    // Moves the selection by a key; true when the page was redrawn.
    bool Move(int k) {
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
                col_ = kPageCols - 1;
                return false;
            case key::Right:
                if (col_ < (Count() - kPageSize * page_) / kPageRows) {
                    if (col_ < kPageCols - 1)
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
                    col_ = kPageCols - 1;
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
    int page_ = 0, row_ = 0, col_ = 0;
};

void CopyName(char* out, const std::string& name) {
    size_t n = std::min<size_t>(name.size(), kNameWidth);
    std::memcpy(out, name.data(), n);
    out[n] = '\0';
}

}  // namespace

std::vector<PickItem> ListPickItems(const char* pattern, bool offerDirectories) {
    struct Listed {
        std::string whole;  // the upper-cased name before it is cut for showing
        PickItem item;
    };
    std::vector<Listed> listed;
    DIR* dir = ::opendir(".");
    if (!dir) return {};
    while (dirent* e = ::readdir(dir)) {
        const std::string real = e->d_name;
        if (real == ".") continue;
        struct stat st;
        if (::stat(real.c_str(), &st) != 0) continue;
        const std::string upper = Upper(real);
        if (S_ISDIR(st.st_mode)) {
            if (offerDirectories) listed.push_back({upper, {ShownName(upper), real, 1}});
        } else if (S_ISREG(st.st_mode) && PatternMatch(pattern, upper.c_str())) {
            auto dot = upper.rfind('.');
            std::string base = dot == std::string::npos ? upper : upper.substr(0, dot);
            if (!base.empty()) listed.push_back({base, {ShownName(base), real, 0}});
        }
    }
    ::closedir(dir);
    // By the whole name, and names equal but for case by the entry itself, so
    // the order does not depend on the directory's.
    std::sort(listed.begin(), listed.end(), [](const Listed& a, const Listed& b) {
        return a.whole != b.whole ? a.whole < b.whole : a.item.real < b.item.real;
    });
    std::vector<PickItem> items;
    items.reserve(listed.size());
    for (auto& l : listed) items.push_back(std::move(l.item));
    return items;
}

int PickFile(int row, int col, const char* pattern, char* nameOut, bool offerDirectories,
             std::string* entryOut) {
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
    Picker picker(pattern, offerDirectories);
    picker.Relist();
    int result = -1;
    while (result < 0) {
        const PickItem* item = picker.Select();
        const int selectedRow = picker.Row(), selectedCol = picker.Col();
        if (item) DrawItem(*item, selectedRow, selectedCol, tf::Reverse | tf::Highlight);
        char field[kNameWidth + 1] = {};
        if (item && item->kind == 0) CopyName(field, item->name);
        int k = EditText(field, row, col, kNameWidth, '.', "A-Z0-9", kExits, 0x1A00);
        bool redrawn = false;
        if (k == key::Esc) {
            result = 0;
        } else if (k == key::Enter) {
            const bool isFile = item && item->kind == 0;
            if (field[0] || isFile) {
                // The highlighted file's own name left in the field takes that
                // file, whatever its entry is called; anything else was typed.
                const bool taken = isFile && (!field[0] || item->name == field);
                CopyName(nameOut, field[0] ? std::string(field) : item->name);
                if (entryOut) *entryOut = taken ? item->real : std::string();
                result = 1;
            } else if (item) {
                // A directory that cannot be entered leaves us where we are.
                (void)::chdir(item->real.c_str());
                picker.Relist();
                redrawn = true;
            }
        } else {
            redrawn = picker.Move(k);
        }
        if (!redrawn && item && result < 0) DrawItem(*item, selectedRow, selectedCol, 0);
    }
    ClearToEndOfScreen(kListRow, 1);
    return result;
}
