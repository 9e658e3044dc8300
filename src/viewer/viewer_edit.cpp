// The register viewer's editing columns.
#include "viewer/viewer_edit.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "emulator/bit_string.h"
#include "ui/boxes.h"
#include "ui/console/keys.h"
#include "ui/edit_text.h"
#include "ui/screen.h"

namespace {

struct EditColumn {
    int col, width;
    const char* accepted;
    uint32_t flags;
};

constexpr uint32_t kNumberFlags = tf::Highlight | tf::StartWithText | tf::ReplaceOld;
constexpr uint32_t kBinaryFlags = tf::Highlight | tf::StartWithText | tf::Overwrite;

// clang-format off
constexpr EditColumn kColumns[] = {
    {},
    {1,  7,  "0-9",    kNumberFlags},              // REGSTR
    {10, 6,  "0-9A-F", kNumberFlags | tf::Upper},  // HEX
    {16, 6,  "0-9",    kNumberFlags},              // UNSIGN
    {24, 6,  "-0-9",   kNumberFlags},              // SIGNED
    {32, 19, " 01",    kBinaryFlags},              // BINARY
};
constexpr char kNumberExits[] = {char(key::Enter), char(key::Esc),  char(key::Down),
                                 char(key::Up),    char(key::Left), char(key::Right),
                                 char(key::PgDn),  char(key::PgUp), char(key::Home),
                                 char(key::F8),    char(key::F9),   0};
// Left and Right move between the bits of the binary field.
constexpr char kBinaryExits[] = {char(key::Enter), char(key::Esc),  char(key::Down),
                                 char(key::Up),    char(key::PgDn), char(key::PgUp),
                                 char(key::F8),    char(key::F9),   0};
// clang-format on

void InitialText(int column, uint16_t current, long reg, char* text, size_t size) {
    switch (column) {
        case ColumnRegister:
            snprintf(text, size, "%ld", reg);
            break;
        case ColumnHex:
            snprintf(text, size, "%04X", current);
            break;
        case ColumnUnsigned:
            snprintf(text, size, "%u", unsigned(current));
            break;
        case ColumnSigned:
            snprintf(text, size, "%d", int(int16_t(current)));
            break;
        default:
            snprintf(text, size, "%.19s", FormatBitString(current).c_str());
    }
}

bool AllDigits(const char* text, int base) {
    if (!*text) return false;
    for (; *text; ++text)
        if (base == 16 ? !isxdigit(uint8_t(*text)) : !isdigit(uint8_t(*text))) return false;
    return true;
}

}  // namespace

bool StartsViewerEdit(int k) { return k < 0x80 && (isalnum(k) || k == '-'); }

uint16_t ParseBitField(const char* text) {
    uint16_t value = 0;
    size_t length = strlen(text);
    for (int bit = 0; bit < 16; ++bit) {
        size_t at = size_t(bit + bit / 4);  // a blank after every fourth bit
        if (at < length && text[at] == '1') value = uint16_t(value | 0x8000u >> bit);
    }
    return value;
}

bool ParseViewerValue(int column, const char* text, uint16_t& value) {
    switch (column) {
        case ColumnHex: {
            // The field holds six digits; a value past four of them is no
            // 16-bit value, refused as the decimal columns refuse theirs
            // rather than cut to digits nobody typed alone.
            if (!AllDigits(text, 16)) return false;
            unsigned long v = strtoul(text, nullptr, 16);
            if (v > 0xFFFF) return false;
            value = uint16_t(v);
            return true;
        }
        case ColumnUnsigned: {
            if (!AllDigits(text, 10)) return false;
            unsigned long v = strtoul(text, nullptr, 10);
            if (v > 0xFFFF) return false;
            value = uint16_t(v);
            return true;
        }
        case ColumnSigned: {
            if (!AllDigits(text[0] == '-' ? text + 1 : text, 10)) return false;
            long v = strtol(text, nullptr, 10);
            if (v < -32768 || v > 32767) return false;
            value = uint16_t(int16_t(v));
            return true;
        }
        case ColumnBinary:
            value = ParseBitField(text);
            return true;
    }
    return false;
}

ViewerEdit EditViewerCell(const ViewerPosition& p, uint16_t current, int firstKey) {
    const EditColumn& c = kColumns[p.column];
    char text[24];
    InitialText(p.column, current, p.SelectedRegister(), text, sizeof text);
    // The key that started the edit is the first one the field reads; on the
    // bit field it overwrites the most significant bit.
    UngetKey(uint8_t(firstKey));
    if (p.column == ColumnBinary) UngetKey(key::Home);
    const char* exits = p.column == ColumnBinary ? kBinaryExits : kNumberExits;
    ViewerEdit edit;
    edit.endKey = EditText(text, p.cursorRow, c.col, c.width, ' ', c.accepted, exits, c.flags);
    // Esc abandons what was typed: nothing reaches the controller.
    if (edit.endKey == key::Esc || !text[0]) return edit;
    if (p.column == ColumnRegister) {
        if (!AllDigits(text, 10)) return edit;
        edit.result = ViewerEdit::NewStart;
        edit.reg = strtol(text, nullptr, 10);
        return edit;
    }
    if (!ParseViewerValue(p.column, text, edit.value)) {
        ShowErrorBox("Unacceptable format of data");
        edit.result = ViewerEdit::Refused;
        return edit;
    }
    edit.result = ViewerEdit::Write;
    return edit;
}
