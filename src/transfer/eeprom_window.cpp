// The EEPROM command's window and messages. The module's two answers go to
// the error box even when errors are not trapped in the error window: they
// are the result the user asked for, not a link failure.
#include "transfer/eeprom_window.h"

#include "transfer/eeprom_write.h"
#include "ui/boxes.h"
#include "ui/screen.h"

int WriteSetupToEeprom(Link* link) {
    // It stays empty while the command runs.
    WindowHandle window = OpenWindow(10, 18, 13, 62, "WRITE SETUP TO EEPROM");
    const EepromResult result = RunEepromWrite(link);
    const std::string message = result.Message();
    if (!message.empty()) {
        if (result.AlwaysShown())
            ShowErrorBox(message.c_str());
        else
            ShowError(message.c_str());
    }
    CloseWindow(window);
    return 1;
}
