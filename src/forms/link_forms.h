// The three forms that edit the settings record: the link ("CONFIGURE THIS
// COMPUTER"), the terminal emulator's port and the register viewer options.
#pragma once
#include "link/link.h"

// Edits the link settings; after an accepted change reconnects (closing
// current first when the connection itself changed) and offers to save.
// Returns the link in force afterwards, or null.
Link* ConfigureLink(Link* current);
void ConfigureTerminal(bool offerSave);
void ConfigureRegisterViewer(bool offerSave);

// Field checks of the viewer form (exposed for tests): non-zero when the
// value may stay; otherwise the value is corrected and the reason shown.
int CheckViewerScreenSize(void* value, int width, const struct FieldDescriptor* field);
int CheckViewerStartRegister(void* value, int width, const struct FieldDescriptor* field);
