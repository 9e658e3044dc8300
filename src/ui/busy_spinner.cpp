// The spinner at row 1, column 80.
#include "ui/busy_spinner.h"

#include "ui/console/keys.h"
#include "ui/screen.h"
#include "ui/screen_state.h"

namespace {

constexpr char kSpinner[] = {'|', '\\', '-', '/'};

bool InterruptsScreens(int k) {
    return k == key::Esc || k == key::Up || k == key::Down || k == key::Left || k == key::Right ||
           k == key::PgUp || k == key::PgDn;
}

}  // namespace

int BusySpinner(void* spinner) {
    if (spinner) return static_cast<Spinner*>(spinner)->Idle();
    Spinner unwatched;
    return unwatched.Idle();
}

int Spinner::Idle() {
    if (int k = ReadKeyboardKey()) {
        // Type-ahead: the screen waiting on the link reads the key after the wait.
        const char typed[2] = {char(k), 0};
        StuffKeys(typed);
        interrupt_ = InterruptsScreens(k) ? WaitInterrupt::Screen : WaitInterrupt::Key;
        if (k == key::Esc) return 0;
    }
    // One wheel for every wait, kept with the screen image it is drawn in.
    SpinnerWheel& wheel = Screen().spinner;
    const TimePoint now = now_();
    if (now - wheel.lastTurn < kSpinnerStepInterval) return 1;
    wheel.lastTurn = now;
    wheel.step = (wheel.step + 1) % 4;
    const char shown[2] = {kSpinner[wheel.step], 0};
    PutText(shown, 1, 80, 1, ' ', 0);
    return 1;
}
