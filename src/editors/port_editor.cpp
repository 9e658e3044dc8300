// The port editor's loop: open, then one key at a time until Esc.
//
// Online, a port whose fetch failed stays on the screen with its values
// blank and takes no change but Enter (fetch it again), 1 (the next port)
// and Esc: the working configuration's values for it never came from the
// module, and writing any section of them would put values there that nobody
// chose.
#include "editors/port_editor.h"

#include "editors/port_editor_keys.h"
#include "editors/port_editor_screen.h"
#include "editors/validation_reports.h"
#include "ui/keys.h"
#include "ui/screen.h"

namespace {

void ShowPort(const ConfigDocuments& documents, const OnlineWrites& writes, int port) {
    if (!writes.PortRead(port)) return ShowUnreadPort(port);
    ShowPortValues(documents, port, writes.Model());
    DrawEscHelp();
}

// Enter on a port that was not read: the fetch the port change made, again.
void FetchAgain(ConfigDocuments& documents, OnlineWrites& writes, int port) {
    PutText("Fetch global", 1, 65, 14, ' ', 0);
    FetchPortForEditor(writes, documents, port);
}

// The checks of opening. Offline they repair what they report; online the
// values shown are the module's, and a repair here would show one value
// while the module holds another.
void CheckOpenedPort(ModuleConfig& config, EditMode mode, int port) {
    if (mode == EditMode::Online)
        ReportPortProblems(config, port);
    else
        ValidatePorts(config, port, port);
}

}  // namespace

void EditPorts(ConfigDocuments& documents, OnlineWrites& writes, int& port) {
    DrawPortEditorScreen(writes);
    if (port < 0 || port > 3) port = 0;
    if (writes.Mode() == EditMode::Online && !FetchPortForEditor(writes, documents, port)) return;
    CheckOpenedPort(documents.WorkingConfig, writes.Mode(), port);
    ShowPort(documents, writes, port);
    for (;;) {
        int k = GetKey();
        if (k >= 'a' && k <= 'z') k -= 'a' - 'A';
        if (k == key::Esc) return;
        if (k == key::Enter) {
            MarkScreenDirty();  // the next key read repaints the whole screen
            if (!writes.PortRead(port)) {
                FetchAgain(documents, writes, port);
                ShowPort(documents, writes, port);
            }
            continue;
        }
        if (!writes.PortRead(port) && k != '1') {
            Beep();
            continue;
        }
        bool writeOk = true;
        const KeyResult result = HandlePortEditorKey(k, port, documents, writes, &writeOk);
        if (result == KeyResult::Unknown) Beep();
        if (result == KeyResult::Failed || !writeOk) return;
        ShowPort(documents, writes, port);
    }
}
