#include "app/shell.h"

#include "app/banner.h"
#include "app/command_line.h"
#include "app/menu_actions.h"
#include "config/config_defaults.h"
#include "config/module_config.h"
#include "emulator/register_image.h"
#include "ui/boxes.h"
#include "ui/keys.h"
#include "ui/menu.h"
#include "ui/print_screen.h"
#include "ui/screen.h"

namespace {

constexpr int kMenuBarRow = 4;
constexpr int kInitialSelection = 102;

void CopyOfflineToWorking() { WorkingConfig = OfflineMemory; }
void CopyWorkingToOffline() { OfflineMemory = WorkingConfig; }

bool QuitConfirmed() {
    return !OfflineDirty || ConfirmBox("Edited or Fetched but not Written. Quit anyway?");
}

void RunAction(const MenuAction& action) {
    if (action.copy != ConfigCopy::None && action.copy != ConfigCopy::BackOnSuccess)
        CopyOfflineToWorking();
    int ok = action.run();
    bool back = action.copy == ConfigCopy::InAndBack ||
                ((action.copy == ConfigCopy::InAndBackOnSuccess ||
                  action.copy == ConfigCopy::BackOnSuccess) && ok);
    if (back) CopyWorkingToOffline();
    if (action.setsDirty) OfflineDirty = true;
}

void StartUp(const std::vector<std::string>& arguments) {
    DrawBanner();
    ResetGridOrigin();
    for (const auto& argument : arguments) StuffKeys(ArgumentKeystrokes(argument));
    ModuleModel = 2;
    // F1 prints the screen for the rest of the run. Bound here until the
    // startup setup file is read; that load will bind it instead.
    AddHotKey(key::F1, PrintScreen);
    SetDefaults();  // after the link setup once it exists: the baud follows it
    SaveScreen();
    OfflineDirty = false;
    ClearEmulatorRegisters();
}

}  // namespace

int DispatchChoice(int code) {
    if (code == kQuitCode) return QuitConfirmed() ? kEndOfLoop : 0;
    const MenuAction* action = FindMenuAction(code);
    if (action && action->run) RunAction(*action);
    return code;
}

int RunShell(con::Console& console, const std::vector<std::string>& arguments) {
    ScreenInit(console);
    StartUp(arguments);
    int selection = kInitialSelection;
    while (selection != kEndOfLoop) {
        selection = DispatchChoice(RunMenu(kMainMenu, kMenuBarRow, selection));
        RestoreScreen();
        if (ModuleModel < 2) {
            DrawModelMark();
            SaveScreen();
        }
    }
    ScreenDone();
    return 0;
}
