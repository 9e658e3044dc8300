// A configuration document with the model it was taken from, as the commands
// pass it between reading an operand and printing, comparing or sending it.
#pragma once
#include <cstdint>

#include "config/config_file_image.h"

struct ConfigSnapshot {
    ConfigFileContents contents;
    int16_t model = 2;  // 0 standard, 1 PLUS, 2 not known (a file does not say)
};
