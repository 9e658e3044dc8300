// One table row per editor key: the field it reaches, how the field changes
// and the module write that follows online. SendChange is the only place the
// writes are made.
#include "editors/port_editor_keys.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "config/config_fields.h"
#include "config/config_lists.h"
#include "editors/char_set_editor.h"
#include "editors/hex_string_editor.h"
#include "editors/poll_editor.h"
#include "editors/port_editor_screen.h"
#include "editors/rack_base_change.h"
#include "editors/validation_reports.h"
#include "ui/boxes.h"
#include "ui/console/keys.h"
#include "ui/edit_text.h"
#include "ui/screen.h"

const char kNotReadNote[] = "Not read from KOVA: Enter tries again";
const char kWriteFailedNote[] = "Write failed: Enter reads KOVA again";

namespace {

struct Target {
    int port, path;
    PortEditing& editing;
    ConfigDocuments& Documents() const { return editing.documents; }
    OnlineWrites& Writes() const { return editing.writes; }
    ModuleConfig& Config() const { return Documents().WorkingConfig; }
    EditPlus& Plus() const { return Config().Plus; }
    PortConfig& Port() const { return Config().Ports[port]; }
    DataPath& PathRecord() const { return Port().Paths[path]; }
};

// While a transfer runs on the editor's own screen: should it fail, the
// port is shown unread with the note before the failure is reported, so the
// screen behind the error window already says what keys do now.
class FailureNote {
  public:
    FailureNote(PortEditing& editing, const char* note) : writes_(editing.writes) {
        writes_.WhenFailing([&editing, note] {
            editing.unreadNote = note;
            ShowUnreadPort(editing.port, note);
        });
    }
    ~FailureNote() { writes_.WhenFailing(nullptr); }
    FailureNote(const FailureNote&) = delete;
    FailureNote& operator=(const FailureNote&) = delete;

  private:
    OnlineWrites& writes_;
};

bool SendChange(PortWrite write, const Target& t) {
    if (write == PortWrite::PortFetch) {
        // A port that cannot be fetched is reported there; editing goes
        // on, with that port shown as not read.
        FetchPortForEditor(t.editing);
        return true;
    }
    OnlineWrites& w = t.Writes();
    FailureNote note(t.editing, kWriteFailedNote);
    switch (write) {
        case PortWrite::None:
        case PortWrite::PortFetch:
            return true;
        case PortWrite::CommParameters:
            return w.WriteCommParameters(t.port, t.Port());
        case PortWrite::AcceptSet:
            return w.WriteAcceptSet(t.port, t.Port());
        case PortWrite::TerminateSet:
            return w.WriteTerminateSet(t.port, t.Port());
        case PortWrite::Path:
            return w.WritePath(t.port, t.path, t.Port());
        case PortWrite::TerminateCount:
            return w.WriteTerminateCount(t.port, t.Plus());
        case PortWrite::TerminateTimeout:
            return w.WriteTerminateTimeout(t.port, t.Plus());
        case PortWrite::TriggerInhibit:
            return w.WriteTriggerInhibit(t.port, t.Plus());
        case PortWrite::PrintProgBaud:
            return w.ChangePrintProgBaud(t.Documents().PrintProgBaud);
        case PortWrite::RackBase:
            return w.WriteRackBase(t.Plus());
    }
    return true;
}

// --- field changes ---------------------------------------------------------

// The next entry of a list field of the port (or of the path in hand).
KeyResult StepPortList(const Target& t, FieldScope scope, const char* key) {
    const ConfigField& field = ConfigFieldNamed(scope, key);
    const int item = scope == FieldScope::Path ? t.path : 0;
    SetPortFieldValue(t.Port(), field, item, NextInList(field, PortFieldValue(t.Port(), field, item)));
    return KeyResult::Changed;
}

// A decimal field of the given width; false when left with Esc, or with
// Enter on a value too wide for the field that was never typed over (its
// question marks are no number, and the value stays as it was read).
bool EditNumberAt(int& value, int row, int col, int width) {
    char text[16];
    std::snprintf(text, sizeof text, "%s", FieldNumberText(value, width).c_str());
    const char exits[] = {char(key::Enter), char(key::Esc), 0};
    if (EditText(text, row, col, width, '_', "0-9", exits, tf::StartWithText | tf::ReplaceOld) ==
        key::Esc)
        return false;
    if (std::strchr(text, '?')) return false;
    value = std::atoi(text);
    return true;
}

bool EditNumberAt(int16_t& field, int row, int col, int width, bool asUnsigned = false) {
    int value = asUnsigned ? uint16_t(field) : field;
    if (!EditNumberAt(value, row, col, width)) return false;
    field = int16_t(value);
    return true;
}

KeyResult Result(bool changed) { return changed ? KeyResult::Changed : KeyResult::Redraw; }

KeyResult NextPort(const Target& t) {
    t.editing.port = (t.port + 1) % 4;
    if (t.Writes().Mode() == EditMode::Online) {
        DrawPortEditorScreen(t.Writes());
        // Until the fetch is done the values on hand are not the module's.
        BlankPortValues(t.editing.port);
        PutText("Fetch global", 1, 65, 14, ' ', 0);
    }
    return KeyResult::Changed;
}

KeyResult BaudRate(const Target& t) { return StepPortList(t, FieldScope::Port, "baud_rate"); }
KeyResult DataBits(const Target& t) { return StepPortList(t, FieldScope::Port, "data_bits"); }
KeyResult Parity(const Target& t) { return StepPortList(t, FieldScope::Port, "parity"); }
KeyResult StopBits(const Target& t) { return StepPortList(t, FieldScope::Port, "stop_bits"); }
KeyResult Capitalize(const Target& t) { return StepPortList(t, FieldScope::Port, "capitalize"); }

KeyResult AcceptSet(const Target& t) {
    EditCharSet(t.Port().AcceptSet, t.port, "Accept", t.Writes());
    return KeyResult::Changed;
}
KeyResult TerminateSet(const Target& t) {
    EditCharSet(t.Port().TerminateSet, t.port, "Terminate", t.Writes());
    return KeyResult::Changed;
}
// The poll editor writes by itself (a failed send leaves the port unread).
KeyResult Polling(const Target& t) {
    EditPolling(t.Port(), t.port, t.Writes());
    return KeyResult::Redraw;
}

KeyResult TerminateCount(const Target& t) {
    int16_t& count = t.Plus().TerminateCount[t.port];
    if (!EditNumberAt(count, 4, 74, 2, true)) return KeyResult::Redraw;
    if (count > 80) {
        ShowError("Longest message is 80 bytes.");
        count = 80;
    }
    return KeyResult::Changed;
}
KeyResult TerminateTimeout(const Target& t) {
    return Result(EditNumberAt(t.Plus().TerminateTimeout[t.port], 5, 76, 4, true));
}
// Online only the value entered is checked and repaired: the rest of the
// port is as the module holds it, shown as such.
KeyResult TriggerInhibit(const Target& t) {
    if (!EditNumberAt(t.Plus().TriggerInhibit[t.port], 25, 67, 4, true)) return KeyResult::Redraw;
    if (t.Writes().Mode() == EditMode::Online)
        ValidateTriggerInhibit(t.Config(), t.port);
    else
        ValidatePorts(t.Config(), t.port, t.port);
    return KeyResult::Changed;
}

KeyResult PrintProgBaudKey(const Target& t) {
    int16_t& baud = t.Documents().PrintProgBaud;
    baud = int16_t(NextInList(ConfigFieldNamed(FieldScope::Module, "print_prog_baud"), baud));
    return KeyResult::Changed;
}

KeyResult RackBaseKey(const Target& t) {
    const int oldBase = t.Plus().RackBase;
    int entered = oldBase;
    if (!EditNumberAt(entered, 24, 61, 4)) return KeyResult::Redraw;
    entered = int(ClampedToField(ConfigFieldNamed(FieldScope::Module, "rack_base"), entered));
    ChangeRackBase(t.Config(), oldBase, entered, t.Writes());
    return KeyResult::Changed;
}

KeyResult EditString(char* field, int row, const Target& t, bool isPattern) {
    char saved[65];
    std::memcpy(saved, field, sizeof saved);
    if (EditHexString(field, row, 12, int(ConfigFieldNamed(FieldScope::Path, "pattern").high)) ==
        key::Esc) {
        std::memcpy(field, saved, sizeof saved);
        return KeyResult::Redraw;
    }
    if (isPattern) CheckPattern(field, t.Port().AcceptSet, t.Port().Capitalize != 0);
    return KeyResult::Changed;
}
KeyResult Pattern(const Target& t) {
    return EditString(t.PathRecord().Pattern, PathRow(t.path) - 2, t, true);
}
KeyResult Mask(const Target& t) {
    return EditString(t.PathRecord().Mask, PathRow(t.path) - 1, t, false);
}

// The module writes a path's registers from its start register on; past
// Rack Base + 2047 they are not the rack's, and the module keeps only those
// that are. A count that runs the block past is reported and cut to fit.
void FitBlockInRack(DataPath& path, int base) {
    const int last = path.StartRegister + path.RegisterCount - 1;
    if (path.RegisterCount < 1 || last <= base + kRackWindow) return;
    ShowErrorF("Last register (%d) is greater than Rack Base (%d) + 2047. Changing.", last, base);
    path.RegisterCount = int16_t(ClampedToField(ConfigFieldNamed(FieldScope::Path, "register_count"),
                                                base + kRackWindow + 1 - path.StartRegister));
}

KeyResult StartRegister(const Target& t) {
    int16_t& reg = t.PathRecord().StartRegister;
    if (!EditNumberAt(reg, PathRow(t.path), 18, 4)) return KeyResult::Redraw;
    const int base = t.Plus().RackBase;
    if (reg < base + 1)
        ShowErrorF("Register (%d) is less than Rack Base (%d) + 1. Changing.", reg, base);
    else if (reg > base + kRackWindow)
        ShowErrorF("Register (%d) is greater than Rack Base (%d) + 2047. Changing.", reg, base);
    // A rack base near the top of the 16-bit range (only a damaged record has
    // one) must not wrap the limit round to a negative register.
    const auto limit = [](int v) { return int16_t(std::clamp(v, -32768, 32767)); };
    if (reg < base + 1) reg = limit(base + 1);
    if (reg > base + kRackWindow) reg = limit(base + kRackWindow);
    FitBlockInRack(t.PathRecord(), base);
    return KeyResult::Changed;
}
KeyResult RegisterCount(const Target& t) {
    int16_t& count = t.PathRecord().RegisterCount;
    if (!EditNumberAt(count, PathRow(t.path), 42, 2)) return KeyResult::Redraw;
    count = int16_t(ClampedToField(ConfigFieldNamed(FieldScope::Path, "register_count"), count));
    FitBlockInRack(t.PathRecord(), t.Plus().RackBase);
    return KeyResult::Changed;
}
KeyResult EditingMode(const Target& t) { return StepPortList(t, FieldScope::Path, "editing_mode"); }
KeyResult Continue(const Target& t) { return StepPortList(t, FieldScope::Path, "continue"); }

// --- the key map -----------------------------------------------------------

using Action = KeyResult (*)(const Target&);

struct PortKey {
    char key;
    bool plusOnly;
    Action act;
    PortWrite write;
    bool steps;  // steps through a list: online its write is held
};

constexpr PortKey kPortKeys[] = {
    {'1', false, NextPort, PortWrite::PortFetch, false},
    {'2', false, BaudRate, PortWrite::CommParameters, true},
    {'3', false, DataBits, PortWrite::CommParameters, true},
    {'4', false, Parity, PortWrite::CommParameters, true},
    {'5', false, StopBits, PortWrite::CommParameters, true},
    {'6', false, Capitalize, PortWrite::CommParameters, true},
    {'7', false, AcceptSet, PortWrite::AcceptSet, false},
    {'8', false, TerminateSet, PortWrite::TerminateSet, false},
    {'9', false, Polling, PortWrite::None, false},  // the poll editor writes by itself
    {'0', true, TerminateCount, PortWrite::TerminateCount, false},
    {'-', true, TerminateTimeout, PortWrite::TerminateTimeout, false},
    {'X', false, PrintProgBaudKey, PortWrite::PrintProgBaud, true},
    {'Y', false, RackBaseKey, PortWrite::RackBase, false},
    {'Z', true, TriggerInhibit, PortWrite::TriggerInhibit, false},
};

// Each path's keys in column order; path 4 has no Continue.
constexpr const char* kPathKeys[4] = {"ABCDEF", "GHIJKL", "MNOPQR", "STUVW"};
struct PathField {
    Action act;
    bool steps;
};
constexpr PathField kPathFields[6] = {{Pattern, false},       {Mask, false},
                                      {StartRegister, false}, {RegisterCount, false},
                                      {EditingMode, true},    {Continue, true}};

// The write of a change, or online for a stepped list value, its hold: the
// module's values are kept from the first press, for Esc and for the check
// that anything changed at all.
KeyResult Run(int key, Action act, PortWrite write, bool steps, const Target& t) {
    PortEditing& e = t.editing;
    const bool hold = steps && t.Writes().Mode() == EditMode::Online;
    if (hold && !(e.held && e.held->key == key))
        e.held = HeldWrite{key, t.port, t.path, write, t.Port(), t.Documents().PrintProgBaud};
    const KeyResult result = act(t);
    if (hold) return KeyResult::Changed;  // shown now, written once settled
    // A sub-editor's own write failed (the poll editor's, the rack base
    // move's): the port is no longer read, and nothing more is written.
    if (write != PortWrite::PortFetch && !t.Writes().PortRead(t.port)) {
        e.unreadNote = kWriteFailedNote;
        return KeyResult::Failed;
    }
    if (result != KeyResult::Changed) return result;
    const Target shown{e.port, t.path, e};
    return SendChange(write, shown) ? result : KeyResult::Failed;
}

}  // namespace

bool FetchPortForEditor(PortEditing& editing, bool noteFailure) {
    OnlineWrites& writes = editing.writes;
    const bool plusDrawn = writes.Model() != kModelStandard;
    std::optional<FailureNote> note;
    if (noteFailure) note.emplace(editing, kNotReadNote);
    const bool fetched = writes.FetchForEditor(editing.port, editing.documents);
    if ((writes.Model() != kModelStandard) != plusDrawn) DrawPortEditorScreen(writes);
    ClearEditorStatus(writes.Mode());
    if (!fetched) editing.unreadNote = kNotReadNote;
    return fetched;
}

KeyResult HandlePortEditorKey(int k, PortEditing& editing) {
    const int port = editing.port;
    for (const PortKey& row : kPortKeys) {
        if (row.key != k) continue;
        if (row.plusOnly && editing.writes.Model() == kModelStandard) return KeyResult::Ignored;
        return Run(k, row.act, row.write, row.steps, Target{port, 0, editing});
    }
    for (int path = 0; path < 4; ++path)
        if (const char* at = k > 0 && k < 128 ? std::strchr(kPathKeys[path], k) : nullptr) {
            const PathField& field = kPathFields[at - kPathKeys[path]];
            return Run(k, field.act, PortWrite::Path, field.steps, Target{port, path, editing});
        }
    return KeyResult::Ignored;
}

bool WriteHeldValue(PortEditing& editing) {
    if (!editing.held) return true;
    const HeldWrite held = *editing.held;
    editing.held.reset();
    const ConfigDocuments& d = editing.documents;
    const PortConfig& now = d.WorkingConfig.Ports[held.port];
    if (std::memcmp(&now, &held.portBefore, sizeof now) == 0 &&
        d.PrintProgBaud == held.printProgBaudBefore)
        return true;  // stepped round to the module's own value
    return SendChange(held.write, Target{held.port, held.path, editing});
}

void DropHeldValue(PortEditing& editing) {
    if (!editing.held) return;
    editing.documents.WorkingConfig.Ports[editing.held->port] = editing.held->portBefore;
    editing.documents.PrintProgBaud = editing.held->printProgBaudBefore;
    editing.held.reset();
}
