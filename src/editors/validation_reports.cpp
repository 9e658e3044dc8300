// The checks' reports go to the error window: the user reads and dismisses
// each one before the next problem is shown, or, for reports gathered
// together, all of them at once in one taller window.
#include "editors/validation_reports.h"

#include <algorithm>

#include "config/validate.h"
#include "ui/boxes.h"
#include "ui/screen.h"
#include "ui/screen_hooks.h"
#include "ui/text_flags.h"

namespace {

// Lines of the window at most: it then reaches from row 7 to row 24, clear of
// the menu bar; reports beyond are counted on its last line.
constexpr int kMostLines = 16;

void ShowReport(const std::string& message) { ShowError(message.c_str()); }

std::vector<std::string> LinesOf(const std::vector<std::string>& reports) {
    const int count = int(reports.size());
    if (count <= kMostLines) return reports;
    std::vector<std::string> lines(reports.begin(), reports.begin() + (kMostLines - 1));
    lines.push_back("and " + std::to_string(count - (kMostLines - 1)) + " more");
    return lines;
}

// Reports are at most a screen line; a longer one is cut at the frame.
constexpr size_t kWidest = 74;

void RunReportsWindow(const std::vector<std::string>& reports) {
    const std::vector<std::string> lines = LinesOf(reports);
    size_t widest = 0;
    for (const auto& line : lines) widest = std::max(widest, std::min(line.size(), kWidest));
    const int count = int(lines.size());
    const int left = 75 - int(widest);
    WindowHandle window = OpenWindow(23 - count, left, 24, 79, "ERROR");
    for (int i = 0; i < count; ++i)
        PutText(lines[size_t(i)].substr(0, widest).c_str(), 24 - count + i, left + 2, int(widest),
                ' ', tf::Alert);
    WaitInErrorWindow();
    CloseWindow(window);
}

}  // namespace

void ShowReportsTogether(const std::vector<std::string>& reports) {
    if (reports.empty()) return;
    if (reports.size() == 1) {
        ShowError(reports.front().c_str());
        return;
    }
    // Untrapped nothing waits: the first report on the status row (all of
    // it), with how many more there were.
    if (ScreenHooksInForce().trapErrors() != 0) {
        ShowErrorWithReason(
            reports.front().c_str(),
            reports.front() + " (+" + std::to_string(reports.size() - 1) + " more)");
        return;
    }
    RunReportsWindow(reports);
}

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
