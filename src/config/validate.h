// Checking and repairing port configurations, and checking a pattern against
// the accept set. Each problem is reported, one at a time, before going on,
// to a reporter the caller gives.
#pragma once
#include <functional>
#include <string>

#include "config/module_config.h"

using ConfigReporter = std::function<void(const std::string&)>;

// Ports first..last (0-based, inclusive) of config, repaired in place.
void ValidatePortsOf(ModuleConfig& config, int first, int last, const ConfigReporter& report);
// Port's (0-3) Trigger/Inhibit register alone, checked and repaired.
void ValidateTriggerInhibitOf(ModuleConfig& config, int port, const ConfigReporter& report);

// Reports once when the pattern needs a character the accept set lacks.
// Returns true when the pattern passed.
bool CheckPatternWith(const char* pattern, const CharSet& acceptSet, bool capitalize,
                      const ConfigReporter& report);
