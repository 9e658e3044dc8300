// The screen side of a transfer's reports.
#include "transfer/screen_reporter.h"

#include "config/model_mark.h"
#include "ui/boxes.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

namespace {

constexpr int kStatusRow = 1;
constexpr int kStepCol = 65, kStepWidth = 14;
constexpr int kPortCol = 58, kPortWidth = 21;

}  // namespace

void ScreenReporter::Step(const char* text) {
    PutText(text, kStatusRow, kStepCol, kStepWidth, ' ', tf::Normal);
}

void ScreenReporter::Port(const char* text) {
    PutText(text, kStatusRow, kPortCol, kPortWidth, ' ', tf::Normal);
}

bool ScreenReporter::Error(const char* text) { return ShowError(text) != 0; }

bool ScreenReporter::Confirm(const char* question) { return ConfirmBox(question) != 0; }

void ScreenReporter::ModelKnown(int16_t model) { ShowModelMark(model); }

void ClearTransferStatus() { PutText("", kStatusRow, kPortCol, kPortWidth, ' ', tf::Normal); }
