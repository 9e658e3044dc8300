// The spinner at row 1, column 80.
#include "ui/busy_spinner.h"

#include "ui/keys.h"
#include "ui/screen.h"

int KeyInterrupt = 0;

namespace {

constexpr char kSpinner[] = {'|', '\\', '-', '/'};
int gSpinnerStep = 0;
std::chrono::steady_clock::time_point gLastTurn;

bool InterruptsScreens(int k) {
    return k == key::Esc || k == key::Up || k == key::Down || k == key::Left || k == key::Right ||
           k == key::PgUp || k == key::PgDn;
}

}  // namespace

int BusySpinner(void*) {
    if (int k = ReadKeyboardKey()) {
        // Queued again so that the screen waiting on the link still gets it.
        const char typed[2] = {char(k), 0};
        StuffKeys(typed);
        KeyInterrupt = InterruptsScreens(k) ? 2 : 1;
        if (k == key::Esc) return 0;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - gLastTurn < kSpinnerStepInterval) return 1;
    gLastTurn = now;
    gSpinnerStep = (gSpinnerStep + 1) % 4;
    const char shown[2] = {kSpinner[gSpinnerStep], 0};
    PutText(shown, 1, 80, 1, ' ', 0);
    return 1;
}
