// The EEPROM command's window and messages. The module's two answers go to
// the error box even when errors are not trapped in the error window: they
// are the result the user asked for, not a link failure. Success is said in
// the window, so that a stored setup never looks like nothing happened.
#include "dialogs/eeprom_window.h"

#include "transfer/eeprom_write.h"
#include "ui/boxes.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

namespace {

constexpr int kStoredShownMs = 2000;

// Until a key or a short pause. Keys typed ahead (a command line's) go on to
// the menu; a key typed while the message shows only acknowledges it.
void ShowStored() {
    PutText("Setup written to EEPROM", 11, 19, 43, ' ', tf::Centre | tf::Highlight);
    if (!KeysQueued() && WaitForKey(kStoredShownMs)) GetKey();
}

}  // namespace

int WriteSetupToEeprom(const ModuleSession& module) {
    // It stays empty while the command runs.
    WindowHandle window = OpenWindow(10, 18, 13, 62, "WRITE SETUP TO EEPROM");
    const EepromResult result = RunEepromWrite(module);
    const std::string message = result.Message();
    if (message.empty())
        ShowStored();
    else if (result.AlwaysShown())
        ShowErrorBox(message.c_str());
    else
        ShowError(message.c_str());
    CloseWindow(window);
    return 1;
}
