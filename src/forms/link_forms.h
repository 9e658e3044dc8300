// The three forms that edit the settings record: the link ("CONFIGURE THIS
// COMPUTER"), the terminal emulator's port and the register viewer options.
#pragma once
#include "link/link.h"
#include "setup/setup_in_force.h"

// Each edits the settings in force. The link form, after an accepted change,
// reconnects (closing the link first when the connection itself changed)
// and offers to save; link holds the link in force afterwards, and the
// result tells whether there is one.
bool ConfigureLink(SetupInForce& settings, LinkHandle& link);
void ConfigureTerminal(SetupInForce& settings, bool offerSave);
void ConfigureRegisterViewer(SetupInForce& settings, bool offerSave);

// Field checks of the viewer form (exposed for tests): non-zero when the
// value may stay; otherwise the value is corrected and the reason shown.
int CheckViewerScreenSize(void* value, int width, const struct FieldDescriptor* field);
int CheckViewerStartRegister(void* value, int width, const struct FieldDescriptor* field);
