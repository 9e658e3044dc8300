// The save of the settings in force to the startup setup file, on request.
#include "forms/save_setup_prompt.h"

#include "setup/setup_file.h"
#include "ui/boxes.h"

void SaveSetupPrompt(const SetupInForce& settings) {
    if (!ConfirmBox("Write setup to startup file?")) return;
    switch (SaveSetupFile(settings.StartupSetupName, settings.CurrentSetup, settings.adapters)) {
        case SaveResult::Saved:
            return;
        case SaveResult::CannotOpen:
            ShowError("Can't open setup file");
            return;
        case SaveResult::ShortWrite:
            ShowError("Can't save setup file");
            return;
    }
}
