// The confirm box and the error window.
#include "ui/boxes.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "ui/console/keys.h"
#include "ui/key_loop.h"
#include "ui/screen.h"
#include "ui/screen_hooks.h"
#include "ui/screen_state.h"
#include "ui/text_flags.h"

namespace {

StatusReport& Untrapped() { return Screen().untrapped; }

void ReportOnStatusRow(const std::string& text, int col, int width) {
    PutText(text.c_str(), 25, col, width, ' ', tf::Alert);
    Untrapped() = {text, col, width};
}

constexpr int kErrorWindowOver = 2;

// The error window as a screen of the key loop: F10 or Esc (or line feed
// when allowed) clears it, any other key beeps; with over, a pause of everyMs
// asks whether the failure has ended.
class ErrorWindowScreen final : public KeyScreen {
  public:
    ErrorWindowScreen(bool lineFeedEnds, int everyMs, const std::function<bool()>* over)
        : lineFeedEnds_(lineFeedEnds), everyMs_(everyMs), over_(over) {}
    int NextKey() override { return over_ ? GetKeyWithin(everyMs_) : GetKey(); }
    KeyResult OnKey(int k) override {
        if (k == 0) {
            if (!over_ || !(*over_)()) return KeyResult::Handled;
            result = kErrorWindowOver;
            return KeyResult::Leave;
        }
        if (k != key::F10 && k != key::Esc && !(lineFeedEnds_ && k == key::LineFeed))
            return KeyResult::Ignored;
        result = k == key::F10 ? 1 : 0;
        return KeyResult::Leave;
    }
    void Show() override {}

    int result = 0;

  private:
    bool lineFeedEnds_;
    int everyMs_;
    const std::function<bool()>* over_;
};

int WaitForErrorKey(bool lineFeedEnds, int everyMs, const std::function<bool()>* over) {
    Beep();
    ErrorWindowScreen screen(lineFeedEnds, everyMs, over);
    RunKeyLoop(screen);
    return screen.result;
}

// Shows the error window and waits for F10 or Esc (or line feed when allowed),
// or with over, until it says the failure has ended.
int RunErrorWindow(const char* message, bool lineFeedEnds, int everyMs = 0,
                   const std::function<bool()>* over = nullptr) {
    int length = int(std::strlen(message));
    WindowHandle window = OpenWindow(22, 75 - length, 24, 79, "ERROR");
    PutText(message, 23, 77 - length, 0, ' ', tf::Alert | tf::Centre);
    const int result = WaitForErrorKey(lineFeedEnds, everyMs, over);
    CloseWindow(window);
    return result;
}

// The confirm box as a screen of the key loop: Y, S or Enter answers yes, N
// or Esc no, any other key beeps.
class ConfirmScreen final : public KeyScreen {
  public:
    int NextKey() override { return GetKey(); }
    KeyResult OnKey(int k) override {
        if (k == 'Y' || k == 'y' || k == 'S' || k == 's' || k == key::Enter)
            answer = 1;
        else if (k == 'N' || k == 'n' || k == key::Esc)
            answer = 0;
        else
            return KeyResult::Ignored;
        return KeyResult::Leave;
    }
    void Show() override {}

    int answer = 0;
};

}  // namespace

int ConfirmBox(const char* question) {
    int length = int(std::strlen(question));
    WindowHandle window = OpenWindow(22, 1, 24, length + 5, "CONFIRM");
    PutText(question, 23, 3, length + 2, ' ', tf::Centre);
    ConfirmScreen screen;
    RunKeyLoop(screen);
    CloseWindow(window);
    return screen.answer;
}

void NoteOnStatusRow(const std::string& text) { ReportOnStatusRow(text, 1, 80); }

void HideUntrappedError() {
    const StatusReport& report = Untrapped();
    if (!report.text.empty()) PutText("", 25, report.col, report.width, ' ', 0);
}

void ForgetUntrappedError() { Untrapped() = {}; }

void RedrawUntrappedError() {
    StatusReport& report = Untrapped();
    if (report.text.empty()) return;
    PutText(report.text.c_str(), 25, report.col, report.width, ' ', tf::Alert);
    report = {};
}

// Untrapped, the failure's own message: for a link failure that is the
// link's text, and for any other (a value refused, a file unreadable) the
// link's last text would name something that did not happen.
int ShowError(const char* message) {
    if (ScreenHooksInForce().trapErrors() != 0) {
        ReportOnStatusRow(message, 40, 40);
        return 1;
    }
    return RunErrorWindow(message, false);
}

int ShowErrorWithReason(const char* message, const std::string& reason) {
    if (reason.empty()) return ShowError(message);
    if (ScreenHooksInForce().trapErrors() != 0) {
        // Nothing waits: the reason stays on the status row as the report.
        ReportOnStatusRow(reason, 1, 80);
        return 1;
    }
    // The row is the screen's own (a form's field, a status): it comes back
    // when the error window is cleared.
    uint8_t chars[80], attrs[80];
    for (int c = 0; c < 80; ++c) {
        chars[c] = ScreenChar(24, c);
        attrs[c] = ScreenAttr(24, c);
    }
    PutText(reason.c_str(), 25, 1, 80, ' ', tf::Alert);
    int result = RunErrorWindow(message, false);
    for (int c = 0; c < 80; ++c) {
        const char cell[2] = {char(chars[c] ? chars[c] : ' '), 0};
        PutText(cell, 25, c + 1, 1, ' ', attrs[c]);
    }
    return result;
}

int ShowErrorUntil(const char* message, int everyMs, const std::function<bool()>& over) {
    if (ScreenHooksInForce().trapErrors() != 0) return ShowError(message);
    return RunErrorWindow(message, false, everyMs, &over);
}

int ShowErrorBox(const char* message) { return RunErrorWindow(message, true); }

int WaitInErrorWindow() { return WaitForErrorKey(false, 0, nullptr); }

int ShowErrorF(const char* format, ...) {
    char buffer[136];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return ShowError(buffer);
}

int ShowErrorBoxF(const char* format, ...) {
    char buffer[136];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return ShowErrorBox(buffer);
}
