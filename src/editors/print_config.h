// The configuration print-out: a readable listing of the whole working
// configuration, written to a file or the printer named in a dialog.
#pragma once
#include <cstdint>
#include <ctime>
#include <string>

#include "config/module_config.h"

// Asks for the output name ("SYS$PRINT" at first) and prints. Returns 1 when
// the listing was written, 0 when the user left with Esc.
int PrintConfig();

// The listing itself; the PLUS lines appear unless model is 0. date is the
// text of the date line.
std::string ConfigListing(const ModuleConfig& config, int16_t printProgBaud, int16_t model,
                          const std::string& date);
// "%d/%b/%y %H:%M" of the local time, with English month names.
std::string ListingDate(std::time_t when);
