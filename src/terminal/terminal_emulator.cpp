// The terminal's entry, main loop and exit. It sleeps in one wait on the port
// and the keyboard together, reads whatever has arrived in one go and shows
// it, and handles a key between two reads, so a steady stream never holds a
// key back for longer than one read.
#include "terminal/terminal_emulator.h"

#include <cstdio>

#include "config/config_lists.h"
#include "forms/connect_link.h"
#include "forms/link_forms.h"
#include "setup/link_kinds.h"
#include "setup/link_setup.h"
#include "setup/serial_port_list.h"
#include "terminal/terminal_keys.h"
#include "terminal/terminal_session.h"
#include "ui/boxes.h"
#include "ui/key_loop.h"
#include "ui/raw_key.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

namespace {

constexpr int kReadChunk = 4096;
constexpr int kCrLookAheadTimeout = kCrLookAheadMs / 10;  // in the port layer's 10 ms units

constexpr const char* kHelpExit =
    "Type contrl-End to exit terminal.  Type F7 to begin capture to a file.\n";
constexpr const char* kHelpSetup = "Type F9 to change terminal communication setup.\n";
constexpr const char* kHelpHex = "Type F5 to toggle hex-only output.\n";
constexpr const char* kHelpSequence =
    "To send hex sequence, type INSERT key, enter hex codes, type ENTER.\n";
constexpr const char* kHelpStampsRaw =
    "Type F6 to toggle timestamps.  Type shift-F7 to capture the raw bytes.\n";
// For terminals whose function keys or Ctrl-End do not come through.
constexpr const char* kHelpPrefix =
    "Or type ctrl-T then Q to exit, R raw capture, T timestamps, ? the other keys.\n";

bool IsSerialLinkType(int type) {
    const LinkKindRow* kind = LinkKindOf(type);
    return kind && kind->serial;
}

// The link holds the terminal's port: it must let go while the terminal runs.
bool SharesLinkPort(const LinkSetup& setup, const Link* link) {
    return link && IsSerialLinkType(setup.ConnectionType) && setup.LinkPort == setup.TerminalPort;
}

void BorrowLinkPort(TerminalSession& s) {
    if (!SharesLinkPort(s.settings.CurrentSetup, s.link->get())) return;
    s.link->reset();
    s.borrowedLink = true;
}

// The toolkit draws over its own image, which the teletype output has left
// behind: it repaints from the image before anything of it shows. The reason
// stays on the status line, also where errors are not trapped in the window.
void ShowTerminalError(const std::string& message, const std::string& reason) {
    MarkScreenDirty();
    PutText(reason.c_str(), 25, 1, 80, ' ', tf::Alert);
    ShowError(message.c_str());
    PutText(reason.c_str(), 25, 1, 80, ' ', tf::Alert);
}

bool OpenTerminalPort(TerminalSession& s) {
    ReadSetupPortsIfEmpty(s.settings);
    const char* name = s.settings.ports.At(s.settings.CurrentSetup.TerminalPort);
    s.portName = name ? name : "";
    s.lost = false;
    long status = nt_sio::SioNotFound;
    if (name)
        status = nt_sio::SioOpen(s.settings.ports.PathOf(name),
                                 nt_sio::SioAccessRead | nt_sio::SioAccessWrite, &s.port);
    else
        s.port.reason = "The terminal's serial port is not in the list of ports";
    if (status == nt_sio::SioOk) return true;
    char message[160];
    std::snprintf(message, sizeof message, "Can't open port: \"%s\".  Status = %ld.",
                  s.portName.c_str(), status);
    ShowTerminalError(message, s.port.reason);
    return false;
}

// The port's line from the terminal settings. A failure returns to the menu
// with the message rather than ending the program.
bool SetTerminalLine(TerminalSession& s) {
    if (ApplyTerminalLine(s.settings.CurrentSetup, &s.port) == 0) return true;
    ShowTerminalError(s.port.reason, s.port.reason);
    return false;
}

void ClearTerminalScreen() {
    con::Console& console = ActiveConsole();
    console.SetCursorPosition(0, 0);
    ShowCursor();
    console.FillCells(0, 0, con::kRows * con::kCols, ' ', con::kNormalColour);
    console.SetColour(con::kNormalColour);
    console.SetCursorPosition(0, 0);
}

void Leave(TerminalSession& s) {
    CloseCapture(s);
    if (!s.lost) nt_sio::SioClose(&s.port);
    HideCursor();
    MarkScreenDirty();
    if (s.borrowedLink) ConnectLink(s.settings, *s.link);
    s.leave = true;
}

// F9: the port is given up while the form runs and opened again as set.
void ChangeSetup(TerminalSession& s) {
    if (!s.lost) nt_sio::SioClose(&s.port);
    MarkScreenDirty();
    HideCursor();
    ConfigureTerminal(s.settings, true);
    BorrowLinkPort(s);
    if (!OpenTerminalPort(s)) return Leave(s);
    if (!SetTerminalLine(s)) return Leave(s);
    ClearTerminalScreen();
    Print(s, kHelpExit);
    Print(s, kHelpSetup);
    Print(s, kHelpSequence);
    Print(s, kHelpStampsRaw);
    Print(s, kHelpPrefix);
    s.display.column = 1;
}

// Reads what has come (one chunk) and shows it. A CR at the end of what came
// waits up to 100 ms for the byte after it, which decides the line break.
void ReceiveChunk(TerminalSession& s) {
    if (s.lost) return;
    uint8_t buffer[kReadChunk];
    int got = 0;
    long status = nt_sio::SioReadAvailable(&s.port, buffer, kReadChunk, &got);
    std::string out;
    CaptureRaw(s, buffer, got);
    for (int i = 0; i < got; ++i) ShowReceivedByte(s.display, buffer[i], out);
    while (status == nt_sio::SioOk && s.display.afterCr) {
        uint8_t next;
        status = nt_sio::SioRead(&s.port, kCrLookAheadTimeout, &next, 1, &got);
        CaptureRaw(s, &next, got);
        if (got == 1)
            ShowReceivedByte(s.display, next, out);
        else
            EndCrLookAhead(s.display, out);
        if (status == nt_sio::SioShort) status = nt_sio::SioOk;
    }
    Show(s, s.timestamps ? StampLines(s, out) : out);
    if (status != nt_sio::SioOk) MarkPortLost(s);
}

// What a key does, and whether it ends the terminal.
KeyResult Act(TerminalSession& s, const TerminalKey& k) {
    switch (k.action) {
        case TerminalAction::Send:
            SendBytes(s, k.bytes);
            break;
        case TerminalAction::ToggleHex:
            ToggleHexOutput(s);
            break;
        case TerminalAction::ToggleTimestamps:
            ToggleTimestamps(s);
            break;
        case TerminalAction::BeginCapture:
            BeginCapture(s, false);
            break;
        case TerminalAction::BeginRawCapture:
            BeginCapture(s, true);
            break;
        case TerminalAction::EndCapture:
            EndCapture(s);
            break;
        case TerminalAction::Setup:
            ChangeSetup(s);
            break;
        case TerminalAction::HexLine:
            SendHexSequence(s);
            break;
        case TerminalAction::Leave:
            Leave(s);
            break;
        case TerminalAction::ShowKeys:
            ShowPrefixKeys(s);
            break;
        case TerminalAction::Refused:
            return KeyResult::Ignored;
        case TerminalAction::Prefix:
        case TerminalAction::None:
            break;
    }
    return s.leave ? KeyResult::Leave : KeyResult::Handled;
}

// The terminal as a screen of the key loop: the wait for the next key shows
// whatever the port receives meanwhile and tries a lost port again.
class TerminalScreen final : public KeyScreen {
  public:
    explicit TerminalScreen(TerminalSession& session) : s(session) {}

    int NextKey() override {
        for (;;) {
            FlushCapture(s);
            int ready = s.lost ? WaitForRawKeyOr(-1, MsUntilReopen(s))
                               : WaitForRawKeyOr(nt_sio::SioDescriptor(s.port), -1);
            if (ready & con::InputDescriptor) ReceiveChunk(s);
            if (ready & con::InputKey) {
                int key = ReadKey();
                if (key >= 0) return key;
            }
            TryReopenPort(s);
        }
    }

    KeyResult OnKey(int key) override {
        const bool extended = key >= kExtendedKey;
        TerminalKey k = TerminalKeyOf(extended, uint8_t(key & 0xFF), s.afterPrefix);
        s.afterPrefix = k.action == TerminalAction::Prefix;
        KeyResult result = Act(s, k);
        TryReopenPort(s);
        return result;
    }

    void Show() override {}

  private:
    // The key waiting: a byte, or an extended key's scan code past
    // kExtendedKey; -1 when none came after all.
    static int ReadKey() {
        int b = ReadRawKey(0);
        if (b != 0) return b;
        b = ReadRawKey(-1);
        return b < 0 ? b : kExtendedKey | b;
    }

    TerminalSession& s;
};

bool Enter(TerminalSession& s) {
    BorrowLinkPort(s);
    if (!OpenTerminalPort(s)) {
        // The link gave its port up for nothing: it gets it back.
        if (s.borrowedLink) ConnectLink(s.settings, *s.link);
        return false;
    }
    ClearTerminalScreen();
    if (!SetTerminalLine(s)) {
        Leave(s);
        return false;
    }
    if (s.settings.CurrentSetup.TerminalPort != s.settings.CurrentSetup.LinkPort)
        PrintF(s, "NOTE: The terminal emulator is using %s\n", s.portName.c_str());
    Print(s, kHelpExit);
    Print(s, kHelpSetup);
    Print(s, kHelpHex);
    Print(s, kHelpSequence);
    Print(s, kHelpStampsRaw);
    Print(s, kHelpPrefix);
    return true;
}

}  // namespace

void TerminalEmulator(SetupInForce& settings, LinkHandle& link) {
    TerminalSession s(settings);
    s.link = &link;
    if (!Enter(s)) return;
    TerminalScreen screen(s);
    RunKeyLoop(screen);
}
