// The list checks of the range table on a file's configuration once
// validation has repaired what it can.
#include "config/load_refusal.h"

#include "config/config_ranges.h"

std::optional<std::string> LoadRefusal(const ModuleConfig& config, int16_t printProgBaud) {
    for (int port = 1; port <= 4; ++port) {
        const PortConfig& record = config.Ports[port - 1];
        if (auto fault = CommsOutOfRange(record, port)) return fault;
        // After validation the registers and counts are inside their ranges:
        // what a path check still finds is its editing mode or Continue.
        for (int path = 1; path <= 4; ++path)
            if (auto fault = PathOutOfRange(record.Paths[path - 1], port, path)) return fault;
    }
    return PrintProgBaudOutOfRange(printProgBaud);
}
