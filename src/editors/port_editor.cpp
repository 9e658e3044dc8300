// The port editor as a screen of the key loop: open, then its answer to one
// key at a time until Esc.
//
// Online, a port whose fetch failed, or whose write failed (the module may
// hold part of it), stays on the screen with its values blank and takes no
// change but Enter (fetch it again), 1 (the next port) and Esc: the working
// configuration's values for it are not the module's, and writing any
// section of them would put values there that nobody chose. Row 25 says so.
#include "editors/port_editor.h"

#include "editors/port_editor_keys.h"
#include "editors/port_editor_screen.h"
#include "editors/validation_reports.h"
#include "ui/console/keys.h"
#include "ui/screen.h"

namespace {

// A stepped list value is written once the user has paused this long on it.
constexpr int kSettleMs = 1500;

void ShowPort(const PortEditing& e) {
    if (!e.writes.PortRead(e.port)) return ShowUnreadPort(e.port, e.unreadNote);
    ShowPortValues(e.documents, e.port, e.writes.Model());
    DrawEscHelp();
}

// Enter on a port that was not read: the fetch the port change made, again.
void FetchAgain(PortEditing& e) {
    PutText("Fetch global", 1, 65, 14, ' ', 0);
    FetchPortForEditor(e);
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

enum class HeldEnd { SteppedOn, Settled, KeyGoesOn, Failed };

// A key (0: a pause) while a stepped value waits for its write. Esc puts
// the module's value back; the same key steps on; anything else settles it.
HeldEnd EndHeldValue(PortEditing& e, int k) {
    if (k == e.held->key) return HeldEnd::SteppedOn;
    if (k == key::Esc) {
        DropHeldValue(e);
        return HeldEnd::Settled;
    }
    const bool written = WriteHeldValue(e);
    if (!written) return HeldEnd::Failed;  // the key was meant for a screen now gone
    return k == 0 || k == key::Enter ? HeldEnd::Settled : HeldEnd::KeyGoesOn;
}

// The port the editor opens on: one of the four, the first when the caller
// kept none.
int& OpeningPort(int& port) {
    if (port < 0 || port > 3) port = 0;
    return port;
}

}  // namespace

PortEditorScreen::PortEditorScreen(ConfigDocuments& documents, OnlineWrites& writes, int& port)
    : editing_{documents, writes, OpeningPort(port), kNotReadNote, std::nullopt} {}

bool PortEditorScreen::Open() {
    PortEditing& e = editing_;
    DrawPortEditorScreen(e.writes);
    if (e.writes.Mode() == EditMode::Online && !FetchPortForEditor(e, false)) return false;
    CheckOpenedPort(e.documents.WorkingConfig, e.writes.Mode(), e.port);
    Show();
    return true;
}

int PortEditorScreen::NextKey() {
    int k = editing_.held ? GetKeyWithin(kSettleMs) : GetKey();
    if (k >= 'a' && k <= 'z') k -= 'a' - 'A';
    return k;
}

void PortEditorScreen::Show() { ShowPort(editing_); }

KeyResult PortEditorScreen::OnKey(int k) {
    PortEditing& e = editing_;
    if (e.held) {
        switch (EndHeldValue(e, k)) {
            case HeldEnd::SteppedOn:
                break;
            case HeldEnd::Settled:
                return KeyResult::Redraw;
            case HeldEnd::Failed:
                return KeyResult::Failed;
            case HeldEnd::KeyGoesOn:
                Show();
                break;
        }
    }
    if (k == key::Esc) return KeyResult::Leave;
    if (k == key::Enter) {
        MarkScreenDirty();  // the next key read repaints the whole screen
        if (e.writes.PortRead(e.port)) return KeyResult::Handled;
        FetchAgain(e);
        return KeyResult::Redraw;
    }
    if (!e.writes.PortRead(e.port) && k != '1') return KeyResult::Ignored;
    return HandlePortEditorKey(k, e);
}

void EditPorts(ConfigDocuments& documents, OnlineWrites& writes, int& port) {
    PortEditorScreen editor(documents, writes, port);
    if (editor.Open()) RunKeyLoop(editor);
}
