// The configuration print-out dialog: the listing of the whole working
// configuration, written to a file or the printer named in a dialog.
#pragma once
#include <cstdint>

#include "config/config_documents.h"

// Asks for the output name ("SYS$PRINT" at first) and prints the working
// configuration as a module of that model holds it. Returns 1 when the
// listing was written, 0 when the user left with Esc.
int PrintConfig(const ConfigDocuments& documents, int16_t model);
