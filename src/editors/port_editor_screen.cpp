// Layout of the port configuration editor: label tables and value positions.
#include "editors/port_editor_screen.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "config/config_lists.h"
#include "config/module_config.h"
#include "editors/model_mark.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

namespace {

constexpr char kEdgeMark = char(249);

struct KeyLabel {
    int row, keyCol;
    const char* key;
    const char* label;  // at keyCol + labelOffset
    int labelOffset;
    bool plusOnly;
};

constexpr KeyLabel kPortLabels[] = {
    {3, 1, "1", "Port", 3, false},
    {3, 30, "5", "Stop bits", 3, false},
    {3, 55, "9", "Periodic Poll", 3, false},
    {4, 1, "2", "Baud rate", 3, false},
    {4, 30, "6", "Capitalize", 3, false},
    {4, 55, "0", "Terminate Count", 3, true},
    {5, 1, "3", "Data bits", 3, false},
    {5, 30, "7", "Accept characters", 3, false},
    {5, 55, "-", "Terminate Timeout", 3, true},
    {6, 1, "4", "Parity", 3, false},
    {6, 30, "8", "Terminate characters", 3, false},
    {24, 1, "X", "Print/Prog baud rate", 2, false},
    {24, 40, "Y", "Rack start address", 2, false},
    {25, 40, "Z", "Trigger/Inhibit register", 2, true},
};

// The keys of each path's fields, in the order of the columns below.
constexpr const char* kPathKeys[4] = {"ABCDEF", "GHIJKL", "MNOPQR", "STUVW"};

struct PathLabel {
    int rowOffset, keyCol;
    const char* label;
};
constexpr PathLabel kPathLabels[6] = {
    {-2, 1, "Pattern \xF9"},   {-1, 1, "Mask    \xF9"}, {0, 1, "Start Register"},
    {0, 25, "Register Count"}, {0, 45, "Editing"},      {0, 66, "Continue"},
};

// Keys in reverse on the help line.
constexpr struct {
    int col;
    const char* text;
} kHelpKeys[] = {{6, "1"}, {31, "2"}, {41, "9"}, {44, "-"}, {50, "A"}, {60, "Z"}};

void DrawKeyLabel(int row, int keyCol, const char* key, const char* label, int labelOffset) {
    PutText(key, row, keyCol, 0, ' ', tf::Reverse);
    PutText(label, row, keyCol + labelOffset, 0, ' ', 0);
}

void DrawPathLabels(int path) {
    const int r = PathRow(path);
    char title[24];
    std::snprintf(title, sizeof title, " DATA PATH %d ", path + 1);
    PutText(title, r - 3, 1, 80, '-', tf::Centre);
    for (int f = 0; kPathKeys[path][f]; ++f) {
        const char k[2] = {kPathKeys[path][f], 0};
        const PathLabel& l = kPathLabels[f];
        DrawKeyLabel(r + l.rowOffset, l.keyCol, k, l.label, 2);
    }
}

void PutChoice(const char* const* texts, long index, int row, int col, int width) {
    PutText(ListText(texts, index, width).c_str(), row, col, width, ' ', 0);
}

void PutString(const char* text, int row, int col, int width) {
    PutText(std::string(text, strnlen(text, 64)).c_str(), row, col, width, kEdgeMark, 0);
}

void PutNumber(long value, int row, int col, int width, uint32_t flags) {
    PutText(FieldNumberText(value, width).c_str(), row, col, width, ' ', flags);
}

void ShowPathValues(const DataPath& path, int k) {
    const int r = PathRow(k);
    PutString(path.Pattern, r - 2, 12, 65);
    PutString(path.Mask, r - 1, 12, 65);
    PutNumber(path.StartRegister, r, 18, 4, 0);
    PutNumber(path.RegisterCount, r, 42, 2, 0);
    PutChoice(kEditingModeTexts, path.EditingMode, r, 55, 7);
    if (k < 3) PutChoice(kNoYesTexts, path.Continue, r, 77, 3);
}

// Where the values stand, for blanking them: the port's own and the
// module-wide ones, then each path's relative to its register row.
struct ValueSpot {
    int row, col, width;
};
constexpr ValueSpot kValueSpots[] = {
    {4, 14, 5}, {5, 14, 1}, {6, 11, 4},  {3, 43, 1},  {4, 44, 3},
    {4, 74, 2}, {5, 76, 4}, {24, 24, 7}, {24, 61, 4}, {25, 67, 4},
};
constexpr ValueSpot kPathValueSpots[] = {
    {-2, 12, 65}, {-1, 12, 65}, {0, 18, 4}, {0, 42, 2}, {0, 55, 7}, {0, 77, 3},
};
// Row 25 left of the Trigger/Inhibit label.
constexpr int kHelpWidth = 39;

void DrawModeLabel(EditMode mode) {
    PutText(mode == EditMode::Online ? "ONLINE" : "OFFLINE", 1, 70, 8, ' ', tf::RightAlign);
}

}  // namespace

void PutUnsigned(int16_t value, int row, int col, int width, uint32_t flags) {
    PutNumber(uint16_t(value), row, col, width, flags);
}

void ClearEditorStatus(EditMode mode) {
    PutText("", 1, 65, 14, ' ', 0);
    // The status columns cover the mode label.
    DrawModeLabel(mode);
}

void DrawPortEditorScreen(const OnlineWrites& writes) {
    const EditMode mode = writes.Mode();
    ClearToEndOfScreen(2, 1);
    PutText("K O V A    A S C I I    M O D U L E", 1, 1, 77, ' ', tf::Centre | tf::Highlight);
    PutText("Vornakel R&D  ", 1, 1, 0, ' ', 0);
    // The sub-editors redraw this screen when they end; online the mark of
    // the module being edited stays on the title row.
    if (mode == EditMode::Online) ShowModelMark(writes.Model());
    DrawModeLabel(mode);
    PutText("Type 1 to select a port.", 2, 1, 0, ' ', 0);
    PutText("Type 2 through 9, -, or A through Z change parameters.", 2, 26, 0, ' ', 0);
    for (const auto& k : kHelpKeys) PutText(k.text, 2, k.col, 0, ' ', tf::Reverse);
    const bool plus = writes.Model() != kModelStandard;
    for (const auto& l : kPortLabels)
        if (plus || !l.plusOnly) DrawKeyLabel(l.row, l.keyCol, l.key, l.label, l.labelOffset);
    for (int k = 0; k < 4; ++k) DrawPathLabels(k);
    PutText("", 23, 1, 80, '-', 0);
    DrawEscHelp();
}

void DrawEscHelp() {
    PutText("", 25, 1, kHelpWidth, ' ', 0);
    PutText("Press", 25, 1, 0, ' ', 0);
    PutText("Esc", 25, 7, 0, ' ', tf::Reverse);
    PutText("to return to menu.", 25, 11, 0, ' ', 0);
}

void BlankPortValues(int port) {
    PutNumber(port + 1, 3, 9, 0, tf::Highlight);
    for (const ValueSpot& v : kValueSpots) PutText("", v.row, v.col, v.width, ' ', 0);
    for (int k = 0; k < 4; ++k) {
        const int r = PathRow(k);
        for (const ValueSpot& v : kPathValueSpots) PutText("", r + v.row, v.col, v.width, ' ', 0);
    }
}

void ShowUnreadPort(int port, const char* note) {
    BlankPortValues(port);
    PutText(note, 25, 1, kHelpWidth, ' ', tf::Highlight);
}

void ShowPortValues(const ConfigDocuments& documents, int port, int16_t model,
                    bool portHighlighted) {
    const PortConfig& p = documents.WorkingConfig.Ports[port];
    const EditPlus& plus = documents.WorkingConfig.Plus;
    PutNumber(port + 1, 3, 9, 0, portHighlighted ? tf::Highlight : 0);
    PutChoice(kPortBaudTexts, p.BaudRate, 4, 14, 5);
    PutChoice(kDataBitsTexts, p.DataBits, 5, 14, 1);
    PutChoice(kParityTexts, p.Parity, 6, 11, 4);
    PutChoice(kStopBitsTexts, p.StopBits, 3, 43, 1);
    PutChoice(kNoYesTexts, p.Capitalize, 4, 44, 3);
    for (int k = 0; k < 4; ++k) ShowPathValues(p.Paths[k], k);
    // Unpadded, then blanked to the longest text a 16-bit index can show
    // ("-32768?"), so nothing is left over when a longer one was there before.
    PutText(ListText(kPrintProgBaudTexts, documents.PrintProgBaud).c_str(), 24, 24, 7, ' ', 0);
    PutNumber(plus.RackBase, 24, 61, 4, tf::RightAlign);
    if (model != kModelStandard) {
        PutUnsigned(plus.TerminateCount[port], 4, 74, 2);
        PutUnsigned(plus.TerminateTimeout[port], 5, 76, 4);
        PutUnsigned(plus.TriggerInhibit[port], 25, 67, 4);
    }
}
