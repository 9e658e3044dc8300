// The emulator screen: title, port prompt, start-up, and the labelled fields
// that the message loop fills.
#include "emulator_screen/emulator_screen.h"

#include "emulator/register_image.h"
#include "emulator_screen/emulator.h"
#include "emulator_screen/emulator_fields.h"
#include "emulator_screen/message_loop.h"
#include "emulator_screen/register_grid.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

namespace {

constexpr char kDot = char(0xF9);  // code page 437 small dot: the empty field

void ShowEmulateLabel() { PutText("EMULATE", 1, 70, 10, ' ', tf::RightAlign); }

void LoadPort(ConfigDocuments& documents, int online, const PortFetcher& fetch, int port) {
    ModuleConfig& working = documents.WorkingConfig;
    if (!online) {
        // The module-wide values (rack base, count, timeout) come from the
        // same offline memory as the port, not from whatever the working
        // configuration held last.
        working.Plus = documents.OfflineMemory.Plus;
        working.Ports[port - 1] = documents.OfflineMemory.Ports[port - 1];
        return;
    }
    if (fetch) fetch(working, port);
    PutText("", 1, 65, 14, ' ', tf::Normal);  // where the fetch showed its progress
    ShowEmulateLabel();
}

void DrawStartScreen(EmulatorRegisters& registers, int rackBase) {
    PutText("Type F10 to exit simulator", 2, 50, 0, ' ', tf::Normal);
    DrawSignalLine(registers, rackBase);
    DrawTextFields("", "");
    DrawGridHeader();
    registers.origin = OriginAtStart(registers.origin, rackBase);
    DrawRegisterGrid(registers, rackBase);
    ShowKeyboardHint();
}

}  // namespace

void DrawEmulatorTitle() {
    PutText("K O V A    A S C I I    M O D U L E", 1, 1, 77, ' ', tf::Highlight | tf::Centre);
    PutText("Vornakel R&D  ", 1, 1, 0, ' ', tf::Normal);
    ShowEmulateLabel();
}

void DrawPortPrompt(int online) {
    PutTextF("O%sline port to emulate", 2, 1, 0, ' ', tf::Normal, online ? "n" : "ff");
}

void DrawTextFields(const char* received, const char* accepted) {
    PutText("Received:    \xF9", 4, 1, 0, ' ', tf::Normal);
    PutText(received, 4, 15, 65, kDot, tf::Normal);
    PutText("Accepted:    \xF9", 5, 1, 0, ' ', tf::Normal);
    PutText(accepted, 5, 15, 65, kDot, tf::Normal);
}

void ShowKeyboardHint() {
    PutText("Type input on keyboard. INSERT for hex entry.", 25, 1, 0, ' ', tf::Normal);
    PutText("(Ctrl-T I)", 25, 47, 0, ' ', tf::Normal);  // ends before "Ready for more data"
}

void ShowReady() { PutText("Ready for more data", 25, 60, 0, ' ', tf::Alert); }
void ClearReady() { ClearToEndOfLine(25, 60); }

void ShowStatus(const char* text, bool highlight) {
    PutText(text, 6, 30, 30, ' ', highlight ? tf::Highlight : tf::Normal);
}

void Emulate(EmulatorRegisters& registers, ConfigDocuments& documents, int online,
             const PortFetcher& fetch) {
    ClearToEndOfScreen(2, 1);
    DrawEmulatorTitle();
    DrawPortPrompt(online);
    int port = AskEmulatedPort();
    if (port == 0) return;
    LoadPort(documents, online, fetch, port);
    DrawStartScreen(registers, documents.WorkingConfig.Plus.RackBase);
    RunMessageLoop(registers, documents.WorkingConfig, port);
}
