// AcceptField and forms: a typed value is shown in its type's format, edited
// as text, parsed back and checked; forms walk a table of such fields.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ui/boxes.h"
#include "ui/console/keys.h"
#include "ui/fields.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

namespace {

constexpr int kMaxWidth = 80;
constexpr int kMaxFormFields = 150;

char DisplayFill(uint32_t flags) { return (flags & tf::Overwrite) ? '0' : ' '; }

// An undefined data type is a programming error: say so, give the terminal
// back and end the program.
[[noreturn]] void IllegalDataType() {
    ShowErrorBox("Illegal DataType code passed to AcceptField");
    ScreenDone();
    std::exit(0);
}

void ShowValue(const FieldDescriptor& f, uint32_t flags) {
    if (std::abs(f.dataType) == dt::NumberList) {
        DrawNumberList(f.row, f.col, *static_cast<NumberList*>(f.value), flags, f.width);
        return;
    }
    std::string text;
    FormatField(text, f.value, f.dataType, f.width);
    PutText(text.c_str(), f.row, f.col, f.width, DisplayFill(flags), flags & ~tf::Bell);
}

// One round of editing; returns the key and whether the value is acceptable.
int EditOnce(const FieldDescriptor& f, const char* exitKeys, uint32_t flags, bool& acceptable) {
    const int type = std::abs(f.dataType);
    if (type == dt::NumberList) {
        acceptable = true;
        return EditNumberList(f.row, f.col, *static_cast<NumberList*>(f.value), flags);
    }
    const int width = std::min<int>(std::max<int>(f.width, 0), kMaxWidth);
    char buffer[kMaxWidth + 4] = {};
    if (flags & tf::StartWithText) {
        std::string text;
        FormatField(text, f.value, f.dataType, width);
        std::strncpy(buffer, text.c_str(), size_t(width));
    }
    const uint32_t typeFlags = type == 13 ? tf::Upper : 0;
    int k = EditText(buffer, f.row, f.col, width, '.', TypedCharacters(type), exitKeys,
                     flags | typeFlags);
    // The value is parsed whatever the key: leaving with Esc keeps what was
    // typed when it parses.
    int parsed = ParseField(f.value, buffer, f.dataType, width);
    if (f.dataType < 0 && buffer[0] == '\0') {
        acceptable = true;
    } else if (!parsed) {
        if (k != key::Esc) ShowErrorBox("Unacceptable format of data");
        acceptable = false;
    } else {
        acceptable = !(k != key::Esc && f.check) || f.check(f.value, width, &f);
    }
    return k;
}

}  // namespace

int AcceptField(const FieldDescriptor& f, const char* exitKeys, uint32_t flags) {
    flags |= f.flags;
    if (f.dataType == dt::ChoiceList) {
        // "INVALID" may be longer than every choice: the first choice shown
        // must not leave its tail behind.
        const int16_t index = *static_cast<int16_t*>(f.value);
        int count = 0;
        while (f.choices && f.choices[count]) ++count;
        if (index < 0 || index >= count) PutText("", f.row, f.col, f.width, ' ', flags & ~tf::Bell);
        return ChooseFromList(f.row, f.col, f.choices, *static_cast<int16_t*>(f.value), exitKeys,
                              flags);
    }
    if (!DataTypeDefined(f.dataType)) IllegalDataType();
    int k;
    for (;;) {
        bool acceptable;
        k = EditOnce(f, exitKeys, flags, acceptable);
        if (acceptable) break;
        if (k == key::Enter) continue;
        PutText("", f.row, f.col, f.width, ' ', flags & tf::AttributeMask);
        break;
    }
    ShowValue(f, flags);
    return k;
}

int EditForm(const FieldDescriptor* fields, int first, int last, int start, const char* exitKeys,
             uint32_t flags) {
    if (last - first + 1 > kMaxFormFields) last = first + kMaxFormFields - 1;
    std::string exits = exitKeys ? exitKeys : "";
    exits += char(key::Down);
    exits += char(key::Up);
    std::vector<uint32_t> fieldFlags(size_t(last - first + 1), flags);
    int i = std::min(std::max(start, first), last);
    for (;;) {
        uint32_t& own = fieldFlags[size_t(i - first)];
        int k = AcceptField(fields[i], exits.c_str(), own);
        if (k != key::Esc) own |= tf::StartWithText;
        if (k == key::Down || k == key::Enter) {
            if (i == last) return k;
            ++i;
        } else if (k == key::Up) {
            if (i == first) return k;
            --i;
        } else {
            return k;
        }
    }
}

void DrawField(const FieldDescriptor& f, uint32_t flags) {
    flags |= f.flags;
    if (f.dataType == dt::ChoiceList) {
        DrawChoice(f.row, f.col, f.choices, *static_cast<int16_t*>(f.value), f.width, flags);
        return;
    }
    ShowValue(f, flags);
}

void DrawFields(const FieldDescriptor* fields, int first, int last, uint32_t flags) {
    for (int i = first; i <= last; ++i) DrawField(fields[i], flags);
}

void DrawLabels(const LabelDescriptor* labels) {
    for (; labels->text; ++labels)
        PutText(labels->text, labels->row, labels->col, 0, ' ', labels->flags);
}
