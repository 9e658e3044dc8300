// The screen side of a transfer's reports.
#include "dialogs/screen_reporter.h"

#include <cstring>

#include "editors/model_mark.h"
#include "ui/boxes.h"
#include "ui/console/keys.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

namespace {

constexpr int kStatusRow = 1;
constexpr int kStepCol = 65, kStepWidth = 14;
constexpr int kPortCol = 58, kPortWidth = 21;

// The link's text for a wait the user ended.
constexpr char kAbortText[] = "Application idle abort";

// The wait queued the Esc again for the screen behind it; the report below
// is that screen, and must not be closed by it before it is seen.
void DropQueuedEsc() {
    if (!KeysQueued()) return;
    const int k = ReadKey(0);
    if (k != key::Esc && k != 0) UngetKey(uint8_t(k));
}

}  // namespace

void ScreenReporter::Step(const char* text) {
    step_ = text;
    PutText(text, kStatusRow, kStepCol, kStepWidth, ' ', tf::Normal);
}

void ScreenReporter::Port(const char* text) {
    port_ = text;
    PutText(text, kStatusRow, kPortCol, kPortWidth, ' ', tf::Normal);
}

bool ScreenReporter::Error(const char* text) {
    if (std::strcmp(text, kAbortText) != 0 || step_.empty()) return ShowError(text) != 0;
    DropQueuedEsc();
    std::string report = "Transfer stopped by Esc at ";
    if (!port_.empty()) report += port_ + ", ";
    report += step_;
    step_.clear();
    return ShowError(report.c_str()) != 0;
}

bool ScreenReporter::Confirm(const char* question) { return ConfirmBox(question) != 0; }

void ScreenReporter::ModelKnown(int16_t model) { ShowModelMark(model); }

void ClearTransferStatus() { PutText("", kStatusRow, kPortCol, kPortWidth, ' ', tf::Normal); }
