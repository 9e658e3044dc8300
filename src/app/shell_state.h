// What the program holds from start to end: the shell owns the one instance
// and hands it to each menu function.
#pragma once
#include <cstdint>

#include "config/config_documents.h"
#include "config/module_config.h"

struct ShellState {
    ConfigDocuments documents;
    // What the last module asked said it is: the mark on the main screen and
    // the editors' PLUS labels follow it, offline too.
    int16_t moduleModel = kModelUnknown;
    // The port the configuration editor shows, kept from one editing to the
    // next.
    int editorPort = 0;
};
