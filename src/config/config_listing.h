// The configuration print-out as text: a readable listing of a whole
// configuration, the same for the screen's print dialog and the tools.
#pragma once
#include <cstdint>
#include <ctime>
#include <string>

#include "config/module_config.h"

// The listing itself; the PLUS lines appear unless model is 0. date is the
// text of the date line.
std::string ConfigListing(const ModuleConfig& config, int16_t printProgBaud, int16_t model,
                          const std::string& date);
// "%d/%b/%y %H:%M" of the local time, with English month names.
std::string ListingDate(std::time_t when);
