// The terminal's own keys: hex-only output, capture, the hexadecimal line,
// and the line prompt they read with.
#include <cstdio>

#include "terminal/hex_sequence.h"
#include "terminal/terminal_keys.h"
#include "terminal/terminal_session.h"
#include "ui/console/keys.h"
#include "ui/key_loop.h"
#include "ui/raw_key.h"
#include "ui/screen.h"

namespace {

constexpr size_t kLineLength = 79;

}  // namespace

namespace {

// The line prompt as a screen of the key loop: typed characters are echoed,
// Backspace takes the last back, Enter takes the line and Esc drops it; an
// extended key has no meaning here.
class TerminalLineScreen final : public KeyScreen {
  public:
    TerminalLineScreen(TerminalSession& s, size_t maxLength, std::string& line)
        : s_(s), maxLength_(maxLength), line_(line) {}

    int NextKey() override {
        const int b = ReadRawKey(-1);
        return b == 0 ? kExtendedKey | (ReadRawKey(-1) & 0xFF) : b;
    }

    KeyResult OnKey(int b) override {
        if (b == key::Enter || b == key::Esc) {
            entered = b == key::Enter;
            Print(s_, "\r\n");
            return KeyResult::Leave;
        }
        if (b == 8 || b == key::Del127) {
            if (line_.empty()) return KeyResult::Handled;
            line_.pop_back();
            Print(s_, "\b \b");
            return KeyResult::Handled;
        }
        if (b < 0x20 || b >= kExtendedKey) return KeyResult::Handled;
        if (line_.size() >= maxLength_) return KeyResult::Ignored;
        line_ += char(b);
        Print(s_, std::string(1, char(b)));
        return KeyResult::Handled;
    }

    void Show() override {}

    bool entered = false;

  private:
    TerminalSession& s_;
    size_t maxLength_;
    std::string& line_;
};

}  // namespace

bool ReadTerminalLine(TerminalSession& s, size_t maxLength, std::string* line) {
    line->clear();
    TerminalLineScreen screen(s, maxLength, *line);
    RunKeyLoop(screen);
    return screen.entered;
}

void ToggleHexOutput(TerminalSession& s) {
    Show(s, "\r\n");
    s.display.hexOnly = !s.display.hexOnly;
    PrintF(s, "\nHEX %s\n", s.display.hexOnly ? "ON" : "OFF");
    s.display.column = 1;
}

void ToggleTimestamps(TerminalSession& s) {
    Show(s, "\r\n");
    s.timestamps = !s.timestamps;
    PrintF(s, "\nTIMESTAMPS %s\n", s.timestamps ? "ON" : "OFF");
    s.display.column = 1;
}

void BeginCapture(TerminalSession& s, bool raw) {
    s.display.column = 1;
    if (s.capture) {
        PrintF(s, "\nCapture file: \"%s\" already open. Type F8 to close.\n",
               s.captureName.c_str());
        return;
    }
    const char* what = raw ? "Raw capture" : "Capture";
    if (s.captureName.empty())
        PrintF(s, "\n%s to file? ", what);
    else
        PrintF(s, "\n%s to file (CR=\"%s\")? ", what, s.captureName.c_str());
    std::string typed;
    if (!ReadTerminalLine(s, kLineLength, &typed)) return;
    if (!typed.empty()) s.captureName = typed;
    s.capture = s.captureName.empty() ? nullptr : std::fopen(s.captureName.c_str(), "wb");
    s.captureRaw = raw && s.capture;
    if (s.capture)
        PrintF(s, "Copying %s to: \"%s\". Type F8 to end capture.\n",
               raw ? "received bytes" : "output", s.captureName.c_str());
    else
        PrintF(s, "Unable to open file: \"%s\" for write.\n", s.captureName.c_str());
}

void EndCapture(TerminalSession& s) {
    if (s.capture)
        CloseCapture(s);
    else
        Print(s, "\nCapture file not open. Type F7 to begin capture.\n");
    s.display.column = 1;
}

void SendHexSequence(TerminalSession& s) {
    Print(s, "Enter hex codes to send: ");
    std::string typed;
    bool entered = ReadTerminalLine(s, kLineLength, &typed);
    s.display.column = 1;
    if (!entered) return;
    HexSequence sequence = ParseHexSequence(typed);
    SendBytes(s, std::string(sequence.bytes.begin(), sequence.bytes.end()));
    if (sequence.invalid >= 0)
        PrintF(s, "Invalid character in hex sequence: %02X\n", unsigned(sequence.invalid));
}

void ShowPrefixKeys(TerminalSession& s) {
    Print(s, "\n");
    for (const char* const* line = kTerminalPrefixHelp; *line; ++line) Print(s, *line);
    s.display.column = 1;
}
