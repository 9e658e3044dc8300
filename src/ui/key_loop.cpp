// The loop every key-driven screen runs in.
#include "ui/key_loop.h"

#include "ui/screen.h"

void RunKeyLoop(KeyScreen& screen) {
    for (;;) {
        switch (screen.OnKey(screen.NextKey())) {
            case KeyResult::Leave:
                return;
            case KeyResult::Ignored:
                Beep();
                break;
            case KeyResult::Changed:
            case KeyResult::Redraw:
            case KeyResult::Failed:
                screen.Show();
                break;
            case KeyResult::Handled:
                break;
        }
    }
}
