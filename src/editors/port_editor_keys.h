// The port editor's key map: what each key changes, and which write to the
// module follows the change when the editor runs online.
//
// Online, a key that steps a value through its list (a baud rate, parity, an
// editing mode, the Print/Prog baud rate...) shows the new value at once but
// holds its write back until the user settles on it: the next press of the
// same key steps on, any other key or a pause writes the value reached, once,
// and Esc puts the module's value back without writing anything. A value
// stepped round to the module's own is not written at all.
#pragma once
#include <optional>

#include "config/config_documents.h"
#include "config/online_writes.h"
#include "ui/key_loop.h"

// The module write that follows a key's change online.
enum class PortWrite {
    None,
    CommParameters,
    AcceptSet,
    TerminateSet,
    Path,
    TerminateCount,
    TerminateTimeout,
    TriggerInhibit,
    PrintProgBaud,
    RackBase,
    PortFetch,
};

// A stepped list value not yet written, and what the module holds for it.
struct HeldWrite {
    int key;  // upper case: pressed again, it steps on
    int port, path;
    PortWrite write;
    PortConfig portBefore;
    int16_t printProgBaudBefore;
};

// Everything one run of the editor works on.
struct PortEditing {
    ConfigDocuments& documents;
    OnlineWrites& writes;
    int& port;  // the port shown (0-3), which key 1 moves on
    // Row 25 while the port shown is not the module's: why, and what Enter does.
    const char* unreadNote;
    std::optional<HeldWrite> held;
};

// Row 25's words for a port whose values are not the module's.
extern const char kNotReadNote[];
extern const char kWriteFailedNote[];

// Acts on one upper-cased key for the port shown: Ignored when no field has
// the key here; Redraw when nothing changed (Esc in a field, an unchanged
// value); Changed when a value changed and its write, if any, succeeded (or,
// online, a list value stepped and its write waits: editing.held); Failed
// when a write failed (reported), leaving the port unread.
KeyResult HandlePortEditorKey(int key, PortEditing& editing);

// The held value settled on: written once (nothing when it is the module's
// own again). False when the write failed.
bool WriteHeldValue(PortEditing& editing);
// Esc while a value is held: the module's value back, nothing written.
void DropHeldValue(PortEditing& editing);

// Online: reads the module-wide values and the port for the editor, with
// "Fetch global" on the title row, and draws the screen again when the
// module's model turned out other than the labels show (the PLUS-only ones
// belong only to a PLUS module). False when the fetch failed (reported; with
// noteFailure the screen behind the report already shows the port unread).
bool FetchPortForEditor(PortEditing& editing, bool noteFailure = true);
