#include "app/shell.h"

#include "app/banner.h"
#include "app/command_line.h"
#include "app/current_link.h"
#include "app/menu_actions.h"
#include "app/module_check.h"
#include "app/online_actions.h"
#include "config/config_defaults.h"
#include "config/module_config.h"
#include "emulator/register_image.h"
#include "forms/connect_link.h"
#include "forms/setup_file_dialogs.h"
#include "setup/link_setup.h"
#include "ui/boxes.h"
#include "ui/busy_spinner.h"
#include "ui/keys.h"
#include "ui/menu.h"
#include "ui/print_screen.h"
#include "ui/screen.h"
#include "ui/screen_hooks.h"

namespace {

constexpr int kMenuBarRow = 4;
constexpr int kInitialSelection = 102;
constexpr char kStartupSetupFile[] = "KOVASW.STP";

void CopyOfflineToWorking() { WorkingConfig = OfflineMemory; }
void CopyWorkingToOffline() { OfflineMemory = WorkingConfig; }

bool QuitConfirmed() {
    return !OfflineDirty || ConfirmBox("Edited or Fetched but not Written. Quit anyway?");
}

void RunAction(const MenuAction& action) {
    if (action.needsModule && !ModuleReachable()) return;
    if (!action.run) return;
    if (action.copy != ConfigCopy::None && action.copy != ConfigCopy::BackOnSuccess)
        CopyOfflineToWorking();
    int ok = action.run();
    bool back =
        action.copy == ConfigCopy::InAndBack || ((action.copy == ConfigCopy::InAndBackOnSuccess ||
                                                  action.copy == ConfigCopy::BackOnSuccess) &&
                                                 ok);
    if (back) CopyWorkingToOffline();
    if (action.setsDirty) OfflineDirty = true;
}

// The layers below read the settings and the current link through these.
void HandDownHooks() {
    SetScreenHooks(
        {.trapErrors = [] { return int(CurrentSetup.TrapErrors); }, .connectIdle = BusySpinner});
    SetComputerBaudRateSource([] { return LinkBaudRate(CurrentSetup); });
    InstallModuleWrites();
}

void StartUp(const std::vector<std::string>& arguments) {
    HandDownHooks();
    DrawBanner();
    ResetGridOrigin();
    for (const auto& argument : arguments) StuffAllKeys(ArgumentKeystrokes(argument));
    ModuleModel = 2;
    SetCurrentLink(LoadStartupSetup(kStartupSetupFile));  // also binds F1
    SetDefaults();  // after the setup: the Print/Prog baud follows the link's
    // A word the start-up left on the status row is for the first screen,
    // not for every return to the menu.
    HideUntrappedError();
    SaveScreen();
    RedrawUntrappedError();
    OfflineDirty = false;
    ClearEmulatorRegisters();
}

}  // namespace

int DispatchChoice(int code) {
    if (code == kQuitCode) return QuitConfirmed() ? kEndOfLoop : 0;
    const MenuAction* action = FindMenuAction(code);
    if (action) RunAction(*action);
    return code;
}

int RunShell(con::Console& console, const std::vector<std::string>& arguments) {
    ScreenInit(console);
    StartUp(arguments);
    int selection = kInitialSelection;
    // A connect that failed at start left its reason in the saved main screen;
    // once a link opens it must not come back with every return to the menu.
    bool reasonSaved = ConnectReasonShown();
    while (selection != kEndOfLoop) {
        selection = DispatchChoice(RunMenu(kMainMenu, kMenuBarRow, selection));
        RestoreScreen();
        if (reasonSaved && !ConnectReasonShown()) {
            ClearToEndOfLine(25, 1);
            SaveScreen();
        }
        reasonSaved = ConnectReasonShown();
        if (ModuleModel < 2) {
            DrawModelMark();
            SaveScreen();
        }
        // After the main screen is saved: the report belongs to this return only.
        RedrawUntrappedError();
    }
    ScreenDone();
    CloseCurrentLink();
    return 0;
}
