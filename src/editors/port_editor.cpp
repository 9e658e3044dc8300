// The port editor's loop: open, then one key at a time until Esc.
//
// Online, a port whose fetch failed stays on the screen with its values
// blank and takes no change but Enter (fetch it again), 1 (the next port)
// and Esc: the working configuration's values for it never came from the
// module, and writing any section of them would put values there that nobody
// chose.
#include "editors/port_editor.h"

#include "config/module_config.h"
#include "editors/port_editor_keys.h"
#include "editors/port_editor_screen.h"
#include "editors/validation_reports.h"
#include "ui/keys.h"
#include "ui/screen.h"

int CurrentPort = 0;

namespace {

void ShowPort(const OnlineWrites& writes) {
    if (!writes.PortRead(CurrentPort)) return ShowUnreadPort(CurrentPort);
    ShowPortValues(CurrentPort);
    DrawEscHelp();
}

// Enter on a port that was not read: the fetch the port change made, again.
void FetchAgain(OnlineWrites& writes) {
    PutText("Fetch global", 1, 65, 14, ' ', 0);
    FetchPortForEditor(writes, CurrentPort);
}

// The checks of opening. Offline they repair what they report; online the
// values shown are the module's, and a repair here would show one value
// while the module holds another.
void CheckOpenedPort(EditMode mode) {
    if (mode == EditMode::Online)
        ReportPortProblems(CurrentPort);
    else
        ValidatePorts(CurrentPort, CurrentPort);
}

}  // namespace

void EditPorts(OnlineWrites& writes) {
    DrawPortEditorScreen(writes.Mode());
    if (CurrentPort < 0 || CurrentPort > 3) CurrentPort = 0;
    if (writes.Mode() == EditMode::Online && !FetchPortForEditor(writes, CurrentPort)) return;
    CheckOpenedPort(writes.Mode());
    ShowPort(writes);
    for (;;) {
        int k = GetKey();
        if (k >= 'a' && k <= 'z') k -= 'a' - 'A';
        if (k == key::Esc) return;
        if (k == key::Enter) {
            MarkScreenDirty();  // the next key read repaints the whole screen
            if (!writes.PortRead(CurrentPort)) {
                FetchAgain(writes);
                ShowPort(writes);
            }
            continue;
        }
        if (!writes.PortRead(CurrentPort) && k != '1') {
            Beep();
            continue;
        }
        bool writeOk = true;
        const KeyResult result = HandlePortEditorKey(k, CurrentPort, writes, &writeOk);
        if (result == KeyResult::Unknown) Beep();
        if (result == KeyResult::Failed || !writeOk) return;
        ShowPort(writes);
    }
}

void EditPorts(int mode) {
    if (OnlineWrites* writes = WritesFor(mode ? EditMode::Online : EditMode::Offline))
        EditPorts(*writes);
}

int EditPortsOffline() {
    EditPorts(0);
    return 1;
}
