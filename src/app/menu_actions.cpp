#include "app/menu_actions.h"

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

// clang-format off
const char* const kMainMenu[] = {
    "oNline", nullptr,
    "oFfline", "Read from disk to memory", "Write from memory to disk",
    "Edit configuration in memory", "Copy configuration between ports", "Send memory to KOVA",
    "Fetch memory from KOVA", "Print configuration in memory", "Delete configuration file",
    "Quit offline functions", nullptr,
    "Emulate", "from oNline port", "from oFfline memory", nullptr,
    "Utility", "View registers", "Terminal emulator", "CTS monitor", "Write setup to EEPROM", nullptr,
    "Setup", "Sy/Max communications", "Terminal emulator", "Register viewer", "Load from file",
    nullptr,
    "Quit", nullptr,
    nullptr,
};
// clang-format on

namespace {

int DeleteConfigurationFile(ShellState&) {
    return DeleteConfigFile(".KOV", "DELETE CONFIGURATION FILE");
}

int ReadConfiguration(ShellState& state) { return ReadConfigFile(state.documents); }
int WriteConfiguration(ShellState& state) { return WriteConfigFile(state.documents); }
int CopyPorts(ShellState& state) { return CopyPortConfig(state.documents.WorkingConfig); }
int PrintConfiguration(ShellState& state) {
    return PrintConfig(state.documents, state.moduleModel);
}

int EditPortsOffline(ShellState& state) {
    OfflineWrites writes(state.moduleModel);
    EditPorts(state.documents, writes, state.editorPort);
    return 1;
}

int EmulateOffline(ShellState& state) {
    Emulate(state.documents, 0);
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
// clang-format off
constexpr MenuAction kActions[] = {
    // code copy                   dirty  replaces module  function
    {100, C::None,                 false, false,   true,   EditPortsOnline},
    {201, C::BackOnSuccess,        false, true,    false,  ReadConfiguration},
    {202, C::In,                   false, false,   false,  WriteConfiguration},
    {203, C::InAndBack,            true,  false,   false,  EditPortsOffline},
    {204, C::InAndBack,            true,  false,   false,  CopyPorts},
    {205, C::In,                   false, false,   true,   SendMemoryToModule},
    {206, C::InAndBack,            true,  true,    true,   FetchMemoryFromModule},
    {207, C::In,                   false, false,   false,  PrintConfiguration},
    {208, C::None,                 false, false,   false,  DeleteConfigurationFile},
    {301, C::None,                 false, false,   true,   EmulateOnline},
    {302, C::None,                 false, false,   false,  EmulateOffline},
    {401, C::None,                 false, false,   false,  ViewRegisters},
    {402, C::None,                 false, false,   false,  RunTerminal},
    {403, C::None,                 false, false,   true,   MonitorCts},
    {404, C::None,                 false, false,   false,  WriteSetupToModuleEeprom},
    {501, C::None,                 false, false,   false,  SetUpLink},
    {502, C::None,                 false, false,   false,  SetUpTerminal},
    {503, C::None,                 false, false,   false,  SetUpRegisterViewer},
    {504, C::None,                 false, false,   false,  LoadSetup},
};
// clang-format on

}  // namespace

const MenuAction* FindMenuAction(int code) {
    for (const auto& a : kActions)
        if (a.code == code) return &a;
    return nullptr;
}
