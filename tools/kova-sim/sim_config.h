// The simulated module's registers at start: the identification block, a
// configuration file's full send, the CTS bits and single presets.
#pragma once
#include "register_image.h"
#include "sim_options.h"

// False after saying why on standard error (a configuration file that cannot
// be read).
bool PrepareImage(const SimOptions& options, RegisterImage& image);
