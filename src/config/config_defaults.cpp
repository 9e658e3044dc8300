// Default configuration values.
#include "config/config_defaults.h"

#include <cstring>
#include <initializer_list>

#include "config/config_documents.h"
#include "config/config_lists.h"
#include "config/module_config.h"

namespace {

void FillPortDefaults(PortConfig& port, int portIndex, int rackBase) {
    std::memset(&port, 0, sizeof port);
    port.BaudRate = 13;  // 9600
    port.DataBits = 1;   // 8
    port.Parity = 0;
    port.StopBits = 1;  // 2
    port.Capitalize = 0;
    // Printable characters, with and without the eighth bit.
    for (unsigned c = 32; c < 128; ++c) {
        CharSetPut(port.AcceptSet, c, true);
        CharSetPut(port.AcceptSet, c + 128, true);
    }
    for (unsigned c : {10u, 13u, 138u, 141u}) CharSetPut(port.TerminateSet, c, true);
    for (int k = 0; k < 4; ++k) {
        DataPath& path = port.Paths[k];
        std::memset(path.Mask, '_', 64);
        path.StartRegister = int16_t(rackBase + 1 + 4 * portIndex + k);
    }
    std::strcpy(port.Paths[0].Pattern, "*");
    port.Paths[0].RegisterCount = 1;
    port.Paths[0].EditingMode = 2;  // INTEGER
}

}  // namespace

void FillDefaults(ModuleConfig& config) {
    std::memset(&config.Plus, 0, sizeof config.Plus);
    config.Plus.RackBase = 1;
    for (int p = 0; p < 4; ++p) FillPortDefaults(config.Ports[p], p, config.Plus.RackBase);
}

int16_t PrintProgBaudIndexOf(int32_t baud) {
    for (int16_t i = 0; i < 4; ++i)
        if (kPrintProgBaudValues[i] == baud) return i;
    return 3;
}

void SetDefaults(ConfigDocuments& documents, int32_t computerBaud) {
    FillDefaults(documents.OfflineMemory);
    documents.WorkingConfig.Plus.RackBase = 1;
    documents.PrintProgBaud = PrintProgBaudIndexOf(computerBaud);
}
