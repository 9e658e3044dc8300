// The rack base change dialog and the register reference scan.
#include "editors/rack_base_change.h"

#include <cstdio>
#include <cstring>

#include "config/module_config.h"
#include "config/validate.h"
#include "ui/boxes.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

namespace {

// "@" then six digits then one of these letters or the string's end. The
// module reads references up to byte 62, wherever the string ends.
constexpr const char* kReferenceEnds = "DURHOBF";
constexpr int kLastReferenceStart = 55;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsReferenceAt(const char* query, int at) {
    if (query[at] != '@') return false;
    for (int i = 1; i <= 6; ++i)
        if (!IsDigit(query[at + i])) return false;
    const char end = query[at + 7];
    return end == '\0' || std::strchr(kReferenceEnds, end) != nullptr;
}

// Moves one port's path registers and Trigger/Inhibit register.
bool MovePortRegisters(int p, int distance, OnlineWrites& writes) {
    PutText("Path  ", 13, 39, 0, ' ', 0);
    PutTextF("%d", 13, 37, 0, ' ', tf::Highlight, p + 1);
    if (!writes.FetchPaths(p)) return false;
    PortConfig& port = WorkingConfig.Ports[p];
    for (auto& path : port.Paths) path.StartRegister = int16_t(path.StartRegister + distance);
    int16_t& trigger = WorkingConfig.Plus.TriggerInhibit[p];
    if (trigger != 0) trigger = int16_t(trigger + distance);
    ValidatePorts(p, p);
    if (writes.Mode() == EditMode::Offline) return true;
    for (int k = 0; k < 4; ++k) {
        PutTextF("%d", 13, 44, 0, ' ', tf::Highlight, k + 1);
        if (!writes.WritePath(p, k)) return false;
    }
    return ModuleModel == 0 || trigger == 0 || writes.WriteTriggerInhibit(p);
}

}  // namespace

int AdjustQueryReferences(char* query, int distance, int* unfit) {
    int found = 0;
    for (int at = 0; at <= kLastReferenceStart; ++at) {
        if (!IsReferenceAt(query, at)) continue;
        ++found;
        if (distance == 0) continue;
        int n = 0;
        for (int i = 1; i <= 4; ++i) n = n * 10 + (query[at + i] - '0');
        const int moved = n + distance;
        if (moved < 0 || moved > 9999) {
            if (unfit) ++*unfit;
            continue;
        }
        char digits[5];
        std::snprintf(digits, sizeof digits, "%04u", unsigned(moved));
        std::memcpy(query + at + 1, digits, 4);  // the last two digits stay
    }
    return found;
}

int AdjustOutputStrings(int distance, OnlineWrites& writes) {
    if (ModuleModel == 0) return 0;
    for (int p = 0; p < 4; ++p) {
        for (int q = 0; q < 16; ++q) {
            // A failure is reported there and the pass goes on, leaving a
            // query it could not read as the module holds it.
            if (!writes.FetchPollQuery(p, q)) continue;
            char* query = WorkingConfig.Ports[p].PollQueries[q];
            int unfit = 0;
            const int found = AdjustQueryReferences(query, distance, &unfit);
            if (distance == 0) {
                if (found) return 1;
                continue;
            }
            if (unfit)
                ShowErrorF(
                    "Port %d, Query %d: register outside 0-9999 after the move, left as it was",
                    p + 1, q + 1);
            if (found) writes.SendPollQuery(p, q);
        }
    }
    return 0;
}

int ChangeRackBase(int oldBase, int newBase, OnlineWrites& writes) {
    if (newBase == oldBase) return 0;
    WindowHandle window = OpenWindow(10, 20, 14, 46, "RACK BASE CHANGED");
    PutTextF("Rack base was %d", 11, 22, 0, ' ', 0, oldBase);
    PutTextF("Rack base now %d", 12, 22, 0, ' ', 0, newBase);
    WorkingConfig.Plus.RackBase = int16_t(newBase);
    int result = 1;
    if (ConfirmBox("Adjust Start Register in all paths?")) {
        PutText("Adjusting Port", 13, 22, 0, ' ', 0);
        for (int p = 0; p < 4 && result; ++p)
            if (!MovePortRegisters(p, newBase - oldBase, writes)) result = 0;
        if (result && AdjustOutputStrings(0, writes) &&
            ConfirmBox("Adjust register output substitution strings?"))
            AdjustOutputStrings(newBase - oldBase, writes);
    }
    CloseWindow(window);
    return result;
}
