#include "app/shell.h"

#include "app/banner.h"
#include "app/command_line.h"
#include "app/menu_actions.h"
#include "config/module_config.h"
#include "emulator/register_image.h"
#include "ui/boxes.h"
#include "ui/menu.h"
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
