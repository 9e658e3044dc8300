// The spinner at row 1, column 80.
#include "ui/busy_spinner.h"

#include "ui/keys.h"
#include "ui/screen.h"

int KeyInterrupt = 0;

namespace {

constexpr char kSpinner[] = {'|', '\\', '-', '/'};

bool InterruptsScreens(int k) {
    return k == key::Esc || k == key::Up || k == key::Down || k == key::Left || k == key::Right ||
           k == key::PgUp || k == key::PgDn;
}

}  // namespace

int BusySpinner(void* spinner) {
    static Spinner programs;
    return (spinner ? *static_cast<Spinner*>(spinner) : programs).Idle();
}

int Spinner::Idle() {
    if (int k = ReadKeyboardKey()) {
        // Queued again so that the screen waiting on the link still gets it.
        const char typed[2] = {char(k), 0};
        StuffKeys(typed);
        KeyInterrupt = InterruptsScreens(k) ? 2 : 1;
        if (k == key::Esc) return 0;
    }
    const TimePoint now = now_();
    if (now - lastTurn_ < kSpinnerStepInterval) return 1;
    lastTurn_ = now;
    step_ = (step_ + 1) % 4;
    const char shown[2] = {kSpinner[step_], 0};
    PutText(shown, 1, 80, 1, ' ', 0);
    return 1;
}
