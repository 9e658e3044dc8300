// The port editor's loop: open, then one key at a time until Esc.
#include "config/port_editor.h"

#include "config/module_config.h"
#include "config/port_editor_keys.h"
#include "config/port_editor_screen.h"
#include "config/validate.h"
#include "ui/keys.h"
#include "ui/screen.h"

int CurrentPort = 0;

void EditPorts(OnlineWrites& writes) {
    DrawPortEditorScreen(writes.Mode());
    if (CurrentPort < 0 || CurrentPort > 3) CurrentPort = 0;
    if (writes.Mode() == EditMode::Online) {
        const bool fetched = writes.FetchForEditor(CurrentPort);
        ClearEditorStatus(writes.Mode());
        if (!fetched) return;
    }
    ValidatePorts(CurrentPort, CurrentPort);
    ShowPortValues(CurrentPort);
    for (;;) {
        int k = GetKey();
        if (k >= 'a' && k <= 'z') k -= 'a' - 'A';
        if (k == key::Esc) return;
        if (k == key::Enter) {
            MarkScreenDirty();  // the next key read repaints the whole screen
            continue;
        }
        bool writeOk = true;
        const KeyResult result = HandlePortEditorKey(k, CurrentPort, writes, &writeOk);
        if (result == KeyResult::Unknown) Beep();
        if (result == KeyResult::Failed || !writeOk) return;
        ShowPortValues(CurrentPort);
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
