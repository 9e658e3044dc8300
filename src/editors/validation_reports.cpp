// The checks' reports go to the error window: the user reads and dismisses
// each one before the next problem is shown.
#include "editors/validation_reports.h"

#include "config/validate.h"
#include "ui/boxes.h"

namespace {

void ShowReport(const std::string& message) { ShowError(message.c_str()); }

}  // namespace

void ValidatePorts(int first, int last) { ValidatePortsOf(WorkingConfig, first, last, ShowReport); }

void ReportPortProblems(int port) {
    ModuleConfig copy = WorkingConfig;
    ValidatePortsOf(copy, port, port, ShowReport);
}

void ValidateTriggerInhibit(int port) { ValidateTriggerInhibitOf(WorkingConfig, port, ShowReport); }

bool CheckPattern(const char* pattern, const CharSet& acceptSet, bool capitalize) {
    return CheckPatternWith(pattern, acceptSet, capitalize, ShowReport);
}
