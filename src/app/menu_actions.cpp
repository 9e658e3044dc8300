#include "app/menu_actions.h"

#include <vector>

#include "app/current_link.h"
#include "app/online_actions.h"
#include "editors/config_file_dialogs.h"
#include "editors/port_editor.h"
#include "editors/print_config.h"
#include "emulator_screen/emulator.h"
#include "forms/link_forms.h"
#include "forms/setup_file_dialogs.h"
#include "terminal/cts_monitor.h"
#include "terminal/terminal_emulator.h"
#include "viewer/register_viewer.h"

namespace {

int DeleteConfigurationFile(ShellState&) {
    return DeleteConfigFile(".KOV", "DELETE CONFIGURATION FILE");
}

int ReadConfiguration(ShellState& state) { return ReadConfigFile(state.documents); }
int WriteConfiguration(ShellState& state) { return WriteConfigFile(state.documents); }
int CopyPorts(ShellState& state) { return CopyPortConfig(state.documents.WorkingConfig); }
int PrintConfiguration(ShellState& state) {
    return PrintConfig(state.documents, state.module.model);
}

int EditPortsOffline(ShellState& state) {
    OfflineWrites writes(state.module.model);
    EditPorts(state.documents, writes, state.editorPort);
    return 1;
}

int EmulateOffline(ShellState& state) {
    Emulate(state.emulator, state.documents, 0);
    return 1;
}

// The setup entries: the link that the form or the loaded file yields
// becomes the current link.
int SetUpLink(ShellState& state) {
    ConfigureLink(state.settings, state.link);
    NoteCurrentLink(state);
    return 1;
}
int SetUpTerminal(ShellState& state) {
    ConfigureTerminal(state.settings, true);
    return 1;
}
int SetUpRegisterViewer(ShellState& state) {
    ConfigureRegisterViewer(state.settings, true);
    return 1;
}
// The terminal lends the link's port and gives the link back.
int RunTerminal(ShellState& state) {
    TerminalEmulator(state.settings, state.link);
    NoteCurrentLink(state);
    return 1;
}
int LoadSetup(ShellState& state) {
    LoadSetupFromFile(state.settings, state.link);
    NoteCurrentLink(state);
    return 1;
}

// No module check: the viewer shows any controller's registers.
int ViewRegisters(ShellState& state) {
    if (!LinkReady(state)) return 0;
    RegisterViewer(state.settings, state.link, kStatusRegisterOffset);
    NoteCurrentLink(state);
    return 1;
}
int MonitorCts(ShellState& state) {
    ReopenIfLost(state);
    CtsMonitor(state.link.get(), 4);
    return 1;
}

using C = ConfigCopy;
constexpr bool T = true;  // a title: the bar's word, its entries follow it

// The main menu, top to bottom: a title and its entries. A choice's code is
// its title's place on the bar x 100 plus its place under the title (a title
// without entries is chosen itself: x 100 + 0). The entries with no
// function (Quit offline functions) only close the pull-down; Quit (600) is
// the shell's own.
struct MainMenuRow {
    const char* label;
    bool title;
    ConfigCopy copy;
    bool setsDirty, replacesMemory, needsModule;
    int (*run)(ShellState&);
};
// clang-format off
constexpr MainMenuRow kRows[] = {
    // label                              title copy             dirty  replaces module  function
    {"oNline",                            T,    C::None,         false, false,   true,   EditPortsOnline},
    {"oFfline",                           T,    C::None,         false, false,   false,  nullptr},
    {"Read from disk to memory",          {},   C::BackOnSuccess,false, true,    false,  ReadConfiguration},
    {"Write from memory to disk",         {},   C::In,           false, false,   false,  WriteConfiguration},
    {"Edit configuration in memory",      {},   C::InAndBack,    true,  false,   false,  EditPortsOffline},
    {"Copy configuration between ports",  {},   C::InAndBack,    true,  false,   false,  CopyPorts},
    {"Send memory to KOVA",               {},   C::In,           false, false,   true,   SendMemoryToModule},
    {"Fetch memory from KOVA",            {},   C::InAndBack,    true,  true,    true,   FetchMemoryFromModule},
    {"Print configuration in memory",     {},   C::In,           false, false,   false,  PrintConfiguration},
    {"Delete configuration file",         {},   C::None,         false, false,   false,  DeleteConfigurationFile},
    {"Quit offline functions",            {},   C::None,         false, false,   false,  nullptr},
    {"Emulate",                           T,    C::None,         false, false,   false,  nullptr},
    {"from oNline port",                  {},   C::None,         false, false,   true,   EmulateOnline},
    {"from oFfline memory",               {},   C::None,         false, false,   false,  EmulateOffline},
    {"Utility",                           T,    C::None,         false, false,   false,  nullptr},
    {"View registers",                    {},   C::None,         false, false,   false,  ViewRegisters},
    {"Terminal emulator",                 {},   C::None,         false, false,   false,  RunTerminal},
    {"CTS monitor",                       {},   C::None,         false, false,   true,   MonitorCts},
    {"Write setup to EEPROM",             {},   C::None,         false, false,   false,  WriteSetupToModuleEeprom},
    {"Setup",                             T,    C::None,         false, false,   false,  nullptr},
    {"Sy/Max communications",             {},   C::None,         false, false,   false,  SetUpLink},
    {"Terminal emulator",                 {},   C::None,         false, false,   false,  SetUpTerminal},
    {"Register viewer",                   {},   C::None,         false, false,   false,  SetUpRegisterViewer},
    {"Load from file",                    {},   C::None,         false, false,   false,  LoadSetup},
    {"Quit",                              T,    C::None,         false, false,   false,  nullptr},
};
// clang-format on

// The rows as the menu engine reads them (groups ending in a null, an empty
// group ending the table) and as the shell dispatches them (by code).
struct MainMenu {
    std::vector<const char*> table;
    std::vector<MenuAction> actions;
};

MainMenu BuildMainMenu() {
    MainMenu menu;
    int code = 0;
    for (const MainMenuRow& row : kRows) {
        if (row.title) {
            if (code) menu.table.push_back(nullptr);  // the group before ends
            code = (code / 100 + 1) * 100;
        } else {
            ++code;
        }
        menu.table.push_back(row.label);
        if (row.run)
            menu.actions.push_back(
                {code, row.copy, row.setsDirty, row.replacesMemory, row.needsModule, row.run});
    }
    menu.table.push_back(nullptr);
    menu.table.push_back(nullptr);
    return menu;
}

const MainMenu& TheMainMenu() {
    static const MainMenu menu = BuildMainMenu();  // computed once
    return menu;
}

}  // namespace

const char* const* MainMenuTable() { return TheMainMenu().table.data(); }

const MenuAction* FindMenuAction(int code) {
    for (const auto& a : TheMainMenu().actions)
        if (a.code == code) return &a;
    return nullptr;
}
