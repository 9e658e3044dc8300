// The configuration checks of config/validate.h on a configuration being edited,
// each problem shown in the error window before the next is looked for; the
// reports of a file read, gathered first, come together in one window.
#pragma once
#include <string>
#include <vector>

#include "config/module_config.h"

// Ports first..last (0-based, inclusive) of the configuration, checked and
// repaired.
void ValidatePorts(ModuleConfig& config, int first, int last);

// The same checks without a repair: the reports only (a port as the module
// holds it, shown as it is).
void ReportPortProblems(const ModuleConfig& config, int port);
// Port's (0-3) Trigger/Inhibit register alone, checked and repaired.
void ValidateTriggerInhibit(ModuleConfig& config, int port);

// Reports that belong together (the checks of one file read) in one error
// window, one a line, cleared with F10 or Esc like the single one; one
// report alone is the ordinary error window. Nothing for none.
void ShowReportsTogether(const std::vector<std::string>& reports);

// Shows once when the pattern needs a character the accept set lacks.
// Returns true when the pattern passed.
bool CheckPattern(const char* pattern, const CharSet& acceptSet, bool capitalize);
