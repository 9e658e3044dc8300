// The checks' reports go to the error window: the user reads and dismisses
// each one before the next problem is shown.
#include "editors/validation_reports.h"

#include "config/validate.h"
#include "ui/boxes.h"

namespace {

void ShowReport(const std::string& message) { ShowError(message.c_str()); }

}  // namespace

void ValidatePorts(ModuleConfig& config, int first, int last) {
    ValidatePortsOf(config, first, last, ShowReport);
}

void ReportPortProblems(const ModuleConfig& config, int port) {
    ModuleConfig copy = config;
    ValidatePortsOf(copy, port, port, ShowReport);
}

void ValidateTriggerInhibit(ModuleConfig& config, int port) {
    ValidateTriggerInhibitOf(config, port, ShowReport);
}

bool CheckPattern(const char* pattern, const CharSet& acceptSet, bool capitalize) {
    return CheckPatternWith(pattern, acceptSet, capitalize, ShowReport);
}
