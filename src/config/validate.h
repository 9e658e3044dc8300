// Checking and repairing port configurations, and checking a pattern against
// the accept set. Each problem is reported, one at a time, before going on.
#pragma once
#include <functional>
#include <string>

#include "config/module_config.h"

using ConfigReporter = std::function<void(const std::string&)>;

// Ports first..last (0-based, inclusive) of the working configuration; the
// reports go to the error window.
void ValidatePorts(int first, int last);
void ValidatePortsOf(ModuleConfig& config, int first, int last, const ConfigReporter& report);

// The same checks without a repair: the reports only (a port as the module
// holds it, shown as it is).
void ReportPortProblems(int port);
// Port's (0-3) Trigger/Inhibit register alone, checked and repaired.
void ValidateTriggerInhibit(int port);

// Reports once when the pattern needs a character the accept set lacks.
// Returns true when the pattern passed.
bool CheckPattern(const char* pattern, const CharSet& acceptSet, bool capitalize);
bool CheckPatternWith(const char* pattern, const CharSet& acceptSet, bool capitalize,
                      const ConfigReporter& report);
