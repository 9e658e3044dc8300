// The rack base change dialog: the new base is stored, and on request every
// register the configuration names moves with it, on the module too when
// editing online.
#include "editors/rack_base_change.h"

#include "config/rack_base.h"
#include "editors/validation_reports.h"
#include "ui/boxes.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

namespace {

// Moves one port's path registers and Trigger/Inhibit register.
bool MovePortRegisters(ModuleConfig& config, int p, int distance, OnlineWrites& writes) {
    PutText("Path  ", 13, 39, 0, ' ', 0);
    PutTextF("%d", 13, 37, 0, ' ', tf::Highlight, p + 1);
    if (!writes.FetchPaths(p, config)) return false;
    PortConfig& port = config.Ports[p];
    for (auto& path : port.Paths) path.StartRegister = int16_t(path.StartRegister + distance);
    int16_t& trigger = config.Plus.TriggerInhibit[p];
    if (trigger != 0) trigger = int16_t(trigger + distance);
    ValidatePorts(config, p, p);
    if (writes.Mode() == EditMode::Offline) return true;
    for (int k = 0; k < 4; ++k) {
        PutTextF("%d", 13, 44, 0, ' ', tf::Highlight, k + 1);
        if (!writes.WritePath(p, k, port)) return false;
    }
    return writes.Model() == kModelStandard || trigger == 0 ||
           writes.WriteTriggerInhibit(p, config.Plus);
}

}  // namespace

int AdjustOutputStrings(ModuleConfig& config, int distance, OnlineWrites& writes) {
    if (writes.Model() == kModelStandard) return 0;
    for (int p = 0; p < 4; ++p) {
        for (int q = 0; q < 16; ++q) {
            // A failure is reported there and the pass goes on, leaving a
            // query it could not read as the module holds it.
            if (!writes.FetchPollQuery(p, q, config.Ports[p])) continue;
            char* query = config.Ports[p].PollQueries[q];
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
            if (found) writes.SendPollQuery(p, q, config.Ports[p]);
        }
    }
    return 0;
}

int ChangeRackBase(ModuleConfig& config, int oldBase, int newBase, OnlineWrites& writes) {
    if (newBase == oldBase) return 0;
    WindowHandle window = OpenWindow(10, 20, 14, 46, "RACK BASE CHANGED");
    PutTextF("Rack base was %d", 11, 22, 0, ' ', 0, oldBase);
    PutTextF("Rack base now %d", 12, 22, 0, ' ', 0, newBase);
    config.Plus.RackBase = int16_t(newBase);
    int result = 1;
    if (ConfirmBox("Adjust Start Register in all paths?")) {
        PutText("Adjusting Port", 13, 22, 0, ' ', 0);
        for (int p = 0; p < 4 && result; ++p)
            if (!MovePortRegisters(config, p, newBase - oldBase, writes)) result = 0;
        if (result && AdjustOutputStrings(config, 0, writes) &&
            ConfirmBox("Adjust register output substitution strings?"))
            AdjustOutputStrings(config, newBase - oldBase, writes);
    }
    CloseWindow(window);
    return result;
}
