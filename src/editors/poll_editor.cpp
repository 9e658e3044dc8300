// The poll interval and query fields, drawn over the port editor.
#include "editors/poll_editor.h"

#include <cstdio>
#include <cstring>

#include "editors/hex_string_editor.h"
#include "editors/port_editor_screen.h"
#include "ui/console/keys.h"
#include "ui/edit_text.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

namespace {

constexpr char kEdgeMark = char(249);
constexpr int kIntervalRow = 6, kIntervalCol = 24, kIntervalWidth = 6;
constexpr int kQueries = 16;

int QueryRow(int q) { return 8 + q; }  // q 0-15

// The interval as its six columns can show it exactly: whole seconds alone
// when the hundredths are 0 and the point does not fit (typed "5000" shows as
// typed); anything else too wide (a damaged record) as "?" in every column,
// never a text cut short that would read back as another interval.
std::string IntervalFieldText(uint32_t interval) {
    std::string text = PollIntervalText(interval);
    if (text.size() > size_t(kIntervalWidth) && interval % 100 == 0)
        text = std::to_string(interval / 100);
    return text.size() <= size_t(kIntervalWidth) ? text : std::string(kIntervalWidth, '?');
}

void ShowInterval(uint32_t interval) {
    PutText(IntervalFieldText(interval).c_str(), kIntervalRow, kIntervalCol, kIntervalWidth, ' ',
            tf::RightAlign);
}

void ShowQuery(const char* query, int q) {
    PutText(std::string(query, strnlen(query, 64)).c_str(), QueryRow(q), 15, 64, kEdgeMark, 0);
}

void DrawFrame() {
    ClearToEndOfScreen(4, 1);
    PutText("", 4, 1, 79, '-', 0);
    PutText("Editing Periodic Polling parameters", 5, 1, 80, ' ', tf::Centre | tf::Highlight);
}

// Draws the fields, fetching each query first when online.
bool DrawFields(PortConfig& port, int portIndex, OnlineWrites& writes) {
    if (!writes.FetchPollQuery(portIndex, 0, port)) return false;
    PutText("Send a query every", kIntervalRow, 5, 0, ' ', 0);
    ShowInterval(port.PollInterval);
    PutText("seconds.", kIntervalRow, 31, 0, ' ', 0);
    for (int q = 0; q < kQueries; ++q) {
        PutTextF("Query %2d \xF9", QueryRow(q), 5, 0, ' ', 0, q + 1);
        if (q > 0 && !writes.FetchPollQuery(portIndex, q, port)) return false;
        PutText("\xF9", QueryRow(q), 79, 0, ' ', 0);
        ShowQuery(port.PollQueries[q], q);
    }
    PutText("Use UP and DOWN arrows to select field.  Press ENTER to exit.", 25, 1, 0, ' ', 0);
    return true;
}

// Each field returns its ending key; changed tells whether it is to be sent.
int EditInterval(PortConfig& port, bool& changed) {
    const char exits[] = {char(key::Esc), char(key::Enter), char(key::Up), char(key::Down), 0};
    char text[kIntervalWidth + 1] = {};
    std::snprintf(text, sizeof text, "%s", IntervalFieldText(port.PollInterval).c_str());
    const int k = EditText(text, kIntervalRow, kIntervalCol, kIntervalWidth, '.', "0-9.", exits,
                           tf::StartWithText | tf::ReplaceOld | tf::Pad | tf::RightAlign);
    changed = false;
    // Question marks left in the field were never typed over: the interval
    // stays as it was read.
    if (k != key::Esc && !std::strchr(text, '?')) {
        const uint32_t interval = ParsePollInterval(text);
        changed = interval != port.PollInterval;
        port.PollInterval = interval;
    }
    ShowInterval(port.PollInterval);
    return k;
}

int EditQuery(PortConfig& port, int q, bool& changed) {
    char saved[65];
    std::memcpy(saved, port.PollQueries[q], sizeof saved);
    const int k = EditHexString(port.PollQueries[q], QueryRow(q), 15, 64);
    if (k == key::Esc) std::memcpy(port.PollQueries[q], saved, sizeof saved);
    changed = k != key::Esc && std::memcmp(port.PollQueries[q], saved, 64) != 0;
    ShowQuery(port.PollQueries[q], q);
    return k;
}

}  // namespace

uint32_t ParsePollInterval(const char* text) {
    while (*text == ' ') ++text;  // the field is right-aligned
    uint32_t seconds = 0;
    for (; *text >= '0' && *text <= '9'; ++text) seconds = seconds * 10 + uint32_t(*text - '0');
    uint32_t hundredths = 0;
    if (const char* dot = std::strchr(text, '.')) {
        for (int i = 1; i <= 2; ++i) {
            const char c = dot[1] ? *++dot : '0';  // never past the terminator
            hundredths = hundredths * 10 + uint32_t(c >= '0' && c <= '9' ? c - '0' : 0);
        }
    }
    return seconds * 100 + hundredths;
}

std::string PollIntervalText(uint32_t interval) {
    char text[24];
    std::snprintf(text, sizeof text, "%lu.%02lu", static_cast<unsigned long>(interval / 100),
                  static_cast<unsigned long>(interval % 100));
    return text;
}

PollEditorScreen::PollEditorScreen(PortConfig& port, int portIndex, OnlineWrites& writes)
    : port_(port), portIndex_(portIndex), writes_(writes) {}

int PollEditorScreen::NextKey() {
    changed_ = false;
    return field_ == 0 ? EditInterval(port_, changed_) : EditQuery(port_, field_ - 1, changed_);
}

KeyResult PollEditorScreen::OnKey(int k) {
    // A changed field is sent before the key that ended it moves on.
    const bool sent =
        !changed_ || (field_ == 0 ? writes_.SendPollInterval(portIndex_, port_)
                                  : writes_.SendPollQuery(portIndex_, field_ - 1, port_));
    if (!sent) {
        failed_ = true;
        return KeyResult::Leave;
    }
    if (k == key::Enter) return KeyResult::Leave;
    if (k == key::Down && field_ < kQueries) ++field_;
    if (k == key::Up && field_ > 0) --field_;
    return KeyResult::Handled;
}

int EditPolling(PortConfig& port, int portIndex, OnlineWrites& writes) {
    DrawFrame();
    int result = 0;
    if (DrawFields(port, portIndex, writes)) {
        PollEditorScreen screen(port, portIndex, writes);
        RunKeyLoop(screen);
        result = screen.Failed() ? 0 : 1;
    }
    ClearToEndOfScreen(4, 1);
    DrawPortEditorScreen(writes);
    return result;
}
