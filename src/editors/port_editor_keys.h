// The port editor's key map: what each key changes, and which write to the
// module follows the change when the editor runs online.
#pragma once
#include "config/config_documents.h"
#include "config/online_writes.h"

enum class KeyResult {
    Unknown,  // no field has this key here: beep
    Kept,     // nothing changed (Esc in a field, an unchanged value)
    Changed,  // a value changed: the key's write follows
    Failed,   // a sub-editor's own transfer failed: the editor ends
};

// Acts on one upper-cased key for the port shown (which key 1 moves to the
// next); when the result is Changed the write for the key has been made too,
// and false in *writeOk ends the editor.
KeyResult HandlePortEditorKey(int key, int& port, ConfigDocuments& documents, OnlineWrites& writes,
                              bool* writeOk);

// Online: reads the module-wide values and the port for the editor, with
// "Fetch global" on the title row, and draws the screen again when the
// module's model turned out other than the labels show (the PLUS-only ones
// belong only to a PLUS module). False when the fetch failed (reported).
bool FetchPortForEditor(OnlineWrites& writes, ConfigDocuments& documents, int port);
