#include "app/banner.h"

#include "editors/model_mark.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

void DrawBanner() {
    PutText("K O V A    A S C I I    M O D U L E", 1, 1, 77, ' ', tf::Highlight | tf::Centre);
    PutText("Vornakel R&D", 2, 1, 0, ' ', tf::Normal);
    PutText("08May2008", 2, 70, 9, ' ', tf::RightAlign);
    PutText("CONFIGURATION AND EMULATION SOFTWARE", 3, 1, 79, ' ', tf::Centre);
    PutText("Use arrows or initial capital letter to make menu selections", 16, 1, 0, ' ', 0);
    PutText("Use Esc to abort functions", 17, 1, 0, ' ', 0);
    PutText("Use F1 at any time to print the screen", 18, 1, 0, ' ', 0);
    PutText("Use F10 to clear error window (lower right screen corner)", 19, 1, 0, ' ', 0);
    // A VT100, a VT220 or the Linux console lacks some of the keys above and
    // on the other screens; the control-key ways work on all of them.
    PutText("Keys a terminal lacks: Ctrl-T then 1-9, 0 for F1-F10, I Insert, U PgUp, N PgDn,",
            20, 1, 0, ' ', 0);
    PutText("H Home, E End (Home/End also Ctrl-A/Ctrl-G); Ctrl-T twice sends Ctrl-T", 21, 1, 0,
            ' ', 0);
}

void DrawModelMark(int16_t model) { ShowModelMark(model); }
