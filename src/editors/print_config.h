// The configuration print-out dialog: the listing of the whole working
// configuration, written to a file or the printer named in a dialog.
#pragma once

// Asks for the output name ("SYS$PRINT" at first) and prints. Returns 1 when
// the listing was written, 0 when the user left with Esc.
int PrintConfig();
