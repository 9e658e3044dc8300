// The register viewer's session: entry, the paced poll loop, the keys, exit.
#include "viewer/register_viewer.h"

#include <algorithm>
#include <ctime>
#include <string>

#include "dialogs/identify_module.h"
#include "forms/link_forms.h"
#include "setup/link_kinds.h"
#include "setup/link_setup.h"
#include "ui/boxes.h"
#include "ui/busy_spinner.h"
#include "ui/console/keys.h"
#include "ui/key_loop.h"
#include "ui/poll_pacing.h"
#include "ui/screen.h"
#include "viewer/viewer_edit.h"
#include "viewer/viewer_position.h"
#include "viewer/viewer_screen.h"

namespace {

// Choice indexes of the settings record.
constexpr int16_t kYes = 0, kNo = 1;
constexpr int16_t kPriority = 1;
constexpr int16_t kInputSet = 1;

// The settings' corrections on entry stay in the record (and reach the file
// when the user saves the setup later).
void CorrectViewerSettings(LinkSetup& s) {
    if (uint16_t(s.ViewerStartRegister) == 0) s.ViewerStartRegister = 1;
    uint16_t size = uint16_t(s.ViewerScreenSize);
    if (size == 0 || size > kMaxViewerRows) s.ViewerScreenSize = kMaxViewerRows;
    // Status registers are a non-priority feature, and not every kind has them.
    const LinkKindRow* kind = LinkKindOf(s.ConnectionType);
    if (s.ViewerPriority == kPriority || (kind && !kind->statusRegisters))
        s.ViewerStatusRegisters = kNo;
}

// After a failed read the keyboard has this long before the next read: enough
// to start typing a new first register or to move, which a read that fails
// again at once (its error window back before a key could land) would not
// leave.
constexpr std::chrono::milliseconds kPauseAfterFailedRead{1500};
// While the error window is up the viewer reads again this often, and closes
// the window by itself once a read works: a screen watched from across the
// room comes back when the link does.
constexpr int kReadAgainUnderErrorMs = 1000;

// The status line after the window closed by itself.
std::string ReadingAgainNote() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[40];
    std::strftime(text, sizeof text, "Reading again since %H:%M:%S", &local);
    return text;
}

// The viewer as a screen of the key loop: the next key is whatever the user
// types between (or during) the paced poll passes.
class ViewerSession final : public KeyScreen {
  public:
    ViewerSession(SetupInForce& settings, LinkHandle& link, int statusOffset)
        : settings_(settings), handle_(link), statusOffset_(statusOffset) {}
    // The session's spinner ends with it: the link gets the program's back.
    ~ViewerSession() { SetLinkIdleCallback(link(), BusySpinner, nullptr); }
    ViewerSession(const ViewerSession&) = delete;
    ViewerSession& operator=(const ViewerSession&) = delete;

    void Run();
    Link* link() const { return handle_.get(); }
    // Poll passes until a key is to be answered; Esc when the user left from
    // the error window.
    int NextKey() override;
    KeyResult OnKey(int k) override;
    // Each pass draws the values; nothing is left to show after a key.
    void Show() override {}
    // A key answered outside the poll loop (a hot key) is no longer waiting.
    void ForgetWaitInterrupt() { spinner_.ClearInterrupt(); }

  private:
    void TakeSettings();
    void PrepareLink();
    void IdentifyDevice();
    bool KeyWaiting() { return spinner_.Interrupt() != WaitInterrupt::None || WaitForKey(0); }
    const LinkSetup& Setup() const { return settings_.CurrentSetup; }
    bool InputSet() const { return Setup().ViewerRegisterSet == kInputSet; }
    bool StatusRegisters() const { return Setup().ViewerStatusRegisters == kYes; }
    int HomeStart() const { return uint16_t(Setup().ViewerStartRegister); }
    // How a poll pass ended: drawn, cut short by a key to answer, or with
    // the user leaving the viewer from the error window.
    enum class PassEnd { Drawn, Key, Leave };
    PassEnd PollPass();
    // One read of the rows' registers into values_; false when it failed.
    bool ReadValues();
    PassEnd ReadFailed();
    bool lastReadFailed_ = false;
    // Row 25 while reads work: blank, or why the error window closed by
    // itself, until the next key.
    std::string note_;
    bool DrawStatusColumn();
    KeyResult HandleEndingKey(int k);
    void ChangeLink();

    SetupInForce& settings_;
    LinkHandle& handle_;  // the owner's: F9 may replace the link in it
    int statusOffset_;
    ViewerPosition pos_;
    uint16_t values_[kMaxViewerRows] = {};
    // The link's idle argument while the session polls: what a key typed
    // during a read wait says.
    Spinner spinner_;
    PollPacer pacer_;
    // A key was just answered: while reads fail, the keyboard keeps the
    // first turn.
    bool keyAnswered_ = false;
};

void ViewerSession::TakeSettings() {
    CorrectViewerSettings(settings_.CurrentSetup);
    pos_.size = Setup().ViewerScreenSize;
    pos_.cursorRow = std::min(pos_.cursorRow, pos_.LastRow());
    KeepInRange(pos_);
}

void ViewerSession::PrepareLink() {
    if (!link()) return;
    SetLinkIdleCallback(link(), BusySpinner, &spinner_);
    SetSyMaxOptions(link(), Setup().ErrorCheck == kErrorCheckCrc,
                    Setup().ViewerPriority == kPriority);
}

// The connected device's name on row 2, when the settings ask for it; with no
// expected name the viewer goes on whatever the device is.
void ViewerSession::IdentifyDevice() {
    if (!link() || Setup().ViewerIdentifyModule != kYes) return;
    ModuleSession device{link(), SilentReports()};
    IdentifyModule(device, "");
}

ViewerSession::PassEnd ViewerSession::ReadFailed() {
    const char* reason = LinkErrorText(link());
    if (KeyWaiting()) {
        // The failure is the key's doing (Esc ends a wait) or came with it:
        // the key is answered, the reason only noted.
        DrawViewerStatusLine(reason);
        return PassEnd::Key;
    }
    DrawErrorRows(pos_, InputSet());
    note_.clear();
    if (Setup().TrapErrors != kYes) {
        DrawViewerStatusLine(reason);
        return PassEnd::Drawn;
    }
    const int answer =
        ShowErrorUntil(reason, kReadAgainUnderErrorMs, [this] { return ReadValues(); });
    if (answer == 0) return PassEnd::Leave;  // Esc in the error window
    if (answer == 2) {
        note_ = ReadingAgainNote();
        DrawViewerStatusLine(note_.c_str());
    }
    IdentifyDevice();
    return PassEnd::Drawn;
}

bool ViewerSession::DrawStatusColumn() {
    if (!InputSet() && StatusRegisters()) {
        if (KeyWaiting()) return true;
        uint16_t status[kMaxViewerRows];
        if (RegisterRead(link(), pos_.start + statusOffset_, pos_.size, status)) {
            for (int i = 0; i < pos_.size; ++i) DrawStatusValue(kFirstViewerRow + i, status[i]);
            return KeyWaiting();
        }
    }
    if (KeyWaiting()) return true;
    for (int row = kFirstViewerRow; row <= pos_.LastRow(); ++row)
        DrawStatusText(pos_, row, StatusRegisters() ? "----" : "");
    return KeyWaiting();
}

ViewerSession::PassEnd ViewerSession::PollPass() {
    // A key already queued (typed during the identification, or ahead) is
    // answered before another read can make it wait.
    if (KeysQueued()) return PassEnd::Key;
    if (!ReadValues()) return ReadFailed();
    DrawViewerStatusLine(note_.c_str());
    for (int i = 0; i < pos_.size; ++i) {
        if (KeyWaiting()) return PassEnd::Key;
        DrawRegisterRow(pos_, kFirstViewerRow + i, InputSet(), values_[i]);
    }
    return DrawStatusColumn() ? PassEnd::Key : PassEnd::Drawn;
}

bool ViewerSession::ReadValues() {
    spinner_.ClearInterrupt();
    const int ok = InputSet() ? InputRegisterRead(link(), pos_.start, pos_.size, values_)
                              : RegisterRead(link(), pos_.start, pos_.size, values_);
    lastReadFailed_ = !ok;
    return ok;
}

void ViewerSession::ChangeLink() {
    ConfigureLink(settings_, handle_);
    TakeSettings();
    PrepareLink();
    IdentifyDevice();
}

KeyResult ViewerSession::HandleEndingKey(int k) {
    if (MoveViewer(pos_, k, HomeStart())) return KeyResult::Handled;
    switch (k) {
        case key::Esc:
            return KeyResult::Leave;
        case key::F8: {
            const int home = HomeStart();
            ConfigureRegisterViewer(settings_, true);
            TakeSettings();
            // A new start register is where the user wants to be now.
            if (HomeStart() != home) MoveViewer(pos_, key::Home, HomeStart());
            PrepareLink();
            DrawViewerFrame();  // the screen size may have changed
            break;
        }
        case key::F9:
            ChangeLink();
            DrawViewerFrame();
            break;
    }
    return KeyResult::Handled;
}

KeyResult ViewerSession::OnKey(int k) {
    if (k == 0) return KeyResult::Handled;  // a hot key, handled as it was read
    note_.clear();
    if (StartsViewerEdit(k)) {
        ViewerEdit edit = EditViewerCell(pos_, values_[pos_.cursorRow - kFirstViewerRow], k);
        if (edit.result == ViewerEdit::NewStart) ShowRegisterOnCursorRow(pos_, edit.reg);
        if (edit.result == ViewerEdit::Write) {
            // The outcome shows at the next pass, which reads the register back.
            const int reg = pos_.SelectedRegister();
            if (InputSet())
                InputRegisterWrite(link(), reg, 1, &edit.value);
            else
                RegisterWrite(link(), reg, 1, &edit.value);
        }
        k = edit.endKey;
    }
    return HandleEndingKey(k);
}

int ViewerSession::NextKey() {
    for (;;) {
        // While reads fail the keyboard keeps the first turn: each key
        // answered gives the user the same time again before the next read.
        if (keyAnswered_ && lastReadFailed_) {
            pacer_.HoldFor(kPauseAfterFailedRead);
            if (pacer_.PauseUntilKeyOrDue()) return ReadKey(0);
        }
        keyAnswered_ = false;
        pacer_.PassStarts();
        const PassEnd end = PollPass();
        if (end == PassEnd::Leave) return key::Esc;  // Esc in the error window
        const bool key = end == PassEnd::Key;
        if (!key && lastReadFailed_) pacer_.HoldFor(kPauseAfterFailedRead);
        // Between passes the keyboard is watched; a key cuts the pause short
        // and the pass after it runs at once.
        if (!key && !pacer_.PauseUntilKeyOrDue()) continue;
        keyAnswered_ = true;
        return ReadKey(0);
    }
}

void ViewerSession::Run() {
    DrawViewerFrame();
    TakeSettings();
    pos_.start = HomeStart();
    KeepInRange(pos_);
    PrepareLink();
    IdentifyDevice();
    pacer_ = PollPacer();
    keyAnswered_ = false;
    RunKeyLoop(*this);
}

}  // namespace

void RegisterViewer(SetupInForce& settings, LinkHandle& link, int statusOffset) {
    ViewerSession session(settings, link, statusOffset);
    AddHotKey(key::F2, [&session](int, int) {
        ShowViewerHelp();
        // Whatever was reading a key gets Enter: a value being typed is taken.
        session.ForgetWaitInterrupt();
        return int(key::Enter);
    });
    session.Run();
    RemoveHotKey(key::F2);
    ClearToEndOfScreen(4, 1);
    SetSyMaxOptions(session.link(), settings.CurrentSetup.ErrorCheck == kErrorCheckCrc, 0);
}
