#include "app/shell.h"

#include "app/banner.h"
#include "app/command_line.h"
#include "app/current_link.h"
#include "app/menu_actions.h"
#include "app/module_check.h"
#include "app/online_actions.h"
#include "config/config_defaults.h"
#include "emulator/register_image.h"
#include "forms/setup_file_dialogs.h"
#include "setup/link_setup.h"
#include "ui/boxes.h"
#include "ui/busy_spinner.h"
#include "ui/console/keys.h"
#include "ui/menu.h"
#include "ui/print_screen.h"
#include "ui/screen.h"
#include "ui/screen_hooks.h"

namespace {

constexpr int kMenuBarRow = 4;
constexpr int kInitialSelection = 102;
constexpr char kStartupSetupFile[] = "KOVASW.STP";

bool QuitConfirmed(const ConfigDocuments& documents) {
    return !documents.OfflineDirty || ConfirmBox("Edited or Fetched but not Written. Quit anyway?");
}

// Asked before the link, the module or the file is touched: No leaves
// everything as it was.
bool ReplaceConfirmed(const ConfigDocuments& documents) {
    return !documents.OfflineDirty ||
           ConfirmBox("Edited or Fetched but not Written. Replace anyway?");
}

void RunAction(ShellState& state, const MenuAction& action) {
    ConfigDocuments& documents = state.documents;
    if (action.replacesMemory && !ReplaceConfirmed(documents)) return;
    if (action.needsModule && !ModuleReachable(state)) return;
    if (!action.run) return;
    if (action.copy != ConfigCopy::None && action.copy != ConfigCopy::BackOnSuccess)
        documents.WorkingConfig = documents.OfflineMemory;
    int ok = action.run(state);
    bool back =
        action.copy == ConfigCopy::InAndBack || ((action.copy == ConfigCopy::InAndBackOnSuccess ||
                                                  action.copy == ConfigCopy::BackOnSuccess) &&
                                                 ok);
    if (back) documents.OfflineMemory = documents.WorkingConfig;
    if (action.setsDirty) documents.OfflineDirty = true;
}

// The layers below read the settings and the current link through these.
void HandDownHooks(ShellState& state) {
    SetScreenHooks({.trapErrors = [&state] { return int(state.settings.CurrentSetup.TrapErrors); },
                    .connectIdle = BusySpinner});
}

void StartUp(ShellState& state, const std::vector<std::string>& arguments) {
    HandDownHooks(state);
    DrawBanner();
    ResetGridOrigin(state.emulator);
    for (const auto& argument : arguments) StuffAllKeys(ArgumentKeystrokes(argument));
    SetCurrentLink(state, LoadStartupSetup(state.settings, kStartupSetupFile));  // binds F1
    // After the setup: the Print/Prog baud follows the link's.
    SetDefaults(state.documents, LinkBaudRate(state.settings.CurrentSetup));
    // A word the start-up left on the status row is for the first screen,
    // not for every return to the menu.
    HideUntrappedError();
    SaveScreen();
    RedrawUntrappedError();
    state.documents.OfflineDirty = false;
    ClearEmulatorRegisters(state.emulator);
}

}  // namespace

int DispatchChoice(ShellState& state, int code) {
    if (code == kQuitCode) return QuitConfirmed(state.documents) ? kEndOfLoop : 0;
    const MenuAction* action = FindMenuAction(code);
    if (action) RunAction(state, *action);
    return code;
}

int RunShell(con::Console& console, const std::vector<std::string>& arguments) {
    ShellState state;
    return RunShell(console, arguments, state);
}

int RunShell(con::Console& console, const std::vector<std::string>& arguments, ShellState& state) {
    ScreenInit(console, state.screen);
    StartUp(state, arguments);
    int selection = kInitialSelection;
    // A connect that failed at start left its reason in the saved main screen;
    // once a link opens it must not come back with every return to the menu.
    bool reasonSaved = state.settings.connectReasonShown;
    while (selection != kEndOfLoop) {
        selection = DispatchChoice(state, RunMenu(MainMenuTable(), kMenuBarRow, selection));
        RestoreScreen();
        if (reasonSaved && !state.settings.connectReasonShown) {
            ClearToEndOfLine(25, 1);
            SaveScreen();
        }
        reasonSaved = state.settings.connectReasonShown;
        if (state.module.model != kModelUnknown) {
            DrawModelMark(state.module.model);
            SaveScreen();
        }
        // After the main screen is saved: the report belongs to this return only.
        RedrawUntrappedError();
    }
    CloseCurrentLink(state);
    // The hooks read this state, which the caller may end now.
    SetScreenHooks({});
    ScreenDone();
    return 0;
}
