// The register viewer's movement keys and the range rule.
#include "viewer/viewer_position.h"

#include <algorithm>

#include "ui/console/keys.h"

namespace {

// Down past the last row and Up above the first scroll by three registers
// (fewer on a screen of one or two rows), so the neighbours stay in view.
int ScrollStep(const ViewerPosition& p) { return std::min(3, p.size); }

void MoveDown(ViewerPosition& p) {
    if (++p.cursorRow <= p.LastRow()) return;
    int step = ScrollStep(p);
    p.start += step;
    p.cursorRow -= step;
}

void MoveUp(ViewerPosition& p) {
    if (--p.cursorRow >= kFirstViewerRow) return;
    int step = ScrollStep(p);
    p.start -= step;
    p.cursorRow += step;
    if (p.start < 1) {
        // Near register 1 the cursor moves instead, still one register up
        // (and staying on register 1 when it is already there).
        p.cursorRow = std::max(kFirstViewerRow, p.cursorRow - (1 - p.start));
        p.start = 1;
    }
}

}  // namespace

void KeepInRange(ViewerPosition& p) {
    if (p.start < 1) p.start = 1;
    int highest = kLastRegister + 1 - p.size;
    if (p.start > highest) {
        p.cursorRow += p.start - highest;
        p.start = highest;
        p.cursorRow = std::clamp(p.cursorRow, kFirstViewerRow, p.LastRow());
    }
}

bool MoveViewer(ViewerPosition& p, int k, int homeStart) {
    switch (k) {
        case key::Down:
            MoveDown(p);
            break;
        case key::Up:
            MoveUp(p);
            break;
        case key::Left:
            p.column = std::max(int(ColumnRegister), p.column - 1);
            break;
        case key::Right:
            p.column = std::min(int(ColumnBinary), p.column + 1);
            break;
        case key::PgDn:
            p.start += (p.size + 1) / 2;
            break;
        case key::PgUp:
            p.start -= (p.size + 1) / 2;
            break;
        case key::Home:
            p.start = homeStart;
            p.cursorRow = kFirstViewerRow;
            break;
        default:
            return false;
    }
    KeepInRange(p);
    return true;
}

void ShowRegisterOnCursorRow(ViewerPosition& p, long typed) {
    typed = std::clamp(typed, 1L, long(kLastRegister));
    p.start = int(typed) + kFirstViewerRow - p.cursorRow;
    if (p.start < 1) {
        // A register above the cursor row's reach: the cursor goes to it.
        p.cursorRow -= 1 - p.start;
        p.start = 1;
    }
    KeepInRange(p);
}
