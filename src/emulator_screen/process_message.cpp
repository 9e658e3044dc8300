// The message-processing step of the emulator screen: runs the data paths and
// draws their outcome path by path.
#include "emulator_screen/process_message.h"

#include <string>
#include <vector>

#include "config/module_config.h"
#include "emulator/data_paths.h"
#include "emulator/editing_modes.h"
#include "emulator/port_processing.h"
#include "emulator/register_image.h"
#include "emulator_screen/register_grid.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

namespace {

constexpr char kDot = char(0xF9);  // code page 437 small dot: the empty field

void ShowCapitalizeLine(bool capitalize, const std::string& text) {
    if (!capitalize) {
        PutText("Capitalize = NO", 7, 1, 0, ' ', tf::Normal);
        return;
    }
    PutText("Capitalized: \xF9", 7, 1, 0, ' ', tf::Normal);
    PutText(text.c_str(), 7, 15, 65, kDot, tf::Normal);
}

void ShowPathResult(const PathOutcome& out) {
    int col = 20 * (out.path - 1) + 1;
    PutTextF("Pattern %d", 8, col, 0, ' ', tf::Normal, out.path);
    if (out.matched)
        PutText("MATCHED", 8, col + 10, 0, ' ', tf::Highlight);
    else
        PutText("NO MATCH", 8, col + 10, 0, ' ', tf::Normal);
}

void ShowPathParameters(const DataPath& path, const PathOutcome& out) {
    PutText("Masked:      \xF9", 9, 1, 0, ' ', tf::Normal);
    PutText(out.masked.c_str(), 9, 15, 65, kDot, tf::Normal);
    PutTextF("Start Register = %d", 10, 3, 0, ' ', tf::Normal, path.StartRegister);
    PutTextF("Register Count = %d", 10, 27, 0, ' ', tf::Normal, path.RegisterCount);
    PutTextF("Edit = %s", 10, 47, 0, ' ', tf::Normal, EditingModeName(path.EditingMode).c_str());
}

}  // namespace

void ProcessMessage(EmulatorRegisters& registers, const ModuleConfig& module, int port,
                    const char* accepted) {
    const PortConfig& config = module.Ports[port - 1];
    int rackBase = module.Plus.RackBase;
    EmulatorImage image(registers, rackBase);
    MessageOutcome outcome = ProcessPortMessage(config, port, accepted, image);
    ShowCapitalizeLine(config.Capitalize != 0, outcome.text);

    // Blocks written by this message stay in reverse while later paths
    // (reached through Continue) add theirs; the grid is redrawn from the
    // image each time, so a moved origin never shows stale values.
    std::vector<GridBlock> blocks;
    for (const PathOutcome& out : outcome.paths) {
        ShowPathResult(out);
        if (!out.matched) continue;
        const DataPath& path = config.Paths[out.path - 1];
        ShowPathParameters(path, out);
        blocks.push_back({path.StartRegister, int(out.registers.size())});
        registers.origin = OriginAfterBlock(registers.origin, rackBase, path.StartRegister,
                                            blocks.back().count);
        DrawRegisterGrid(registers, rackBase, blocks);
        DrawSignalLine(registers, rackBase);
    }
}
