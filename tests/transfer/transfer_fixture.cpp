#include "transfer_fixture.h"

#include <cstring>

#include "transfer/module_image.h"

ModuleConfig DistinctConfig(int seed) {
    ModuleConfig config;
    auto* bytes = reinterpret_cast<uint8_t*>(&config);
    for (size_t i = 0; i < sizeof config; ++i)
        bytes[i] = uint8_t((i * 37 + size_t(seed)) % 251 + 1);
    // A send refuses values outside their lists and ranges; these stay
    // distinct from port to port and path to path, inside them.
    for (int p = 0; p < 4; ++p) {
        PortConfig& port = config.Ports[p];
        port.BaudRate = int16_t((3 * p + seed) % 16);
        port.DataBits = int16_t((p + seed) % 2);
        port.Parity = int16_t((p + seed) % 3);
        port.StopBits = int16_t((p + seed + 1) % 2);
        port.Capitalize = int16_t((p + seed) % 2);
        for (int k = 0; k < 4; ++k) {
            DataPath& path = port.Paths[k];
            path.StartRegister = int16_t(100 + 16 * p + 4 * k + seed);
            path.RegisterCount = int16_t((4 * p + k + seed) % 65);
            path.EditingMode = uint8_t((p + k + seed) % 8);
            path.Continue = uint8_t((p + k + seed) % 2);
        }
        port.PollInterval = uint32_t(1000 * seed + 37 * p + 1);
        config.Plus.TerminateCount[p] = int16_t((7 * p + seed) % 81);
        config.Plus.TerminateTimeout[p] = int16_t((1234 * p + seed) % 10000);
        config.Plus.TriggerInhibit[p] = int16_t(50 + 10 * p + seed);
    }
    config.Plus.RackBase = int16_t(1 + seed % 40);
    return config;
}

void ClearUntransferred(ModuleConfig& config) {
    for (PortConfig& port : config.Ports) {
        for (DataPath& path : port.Paths) path.Pattern[64] = path.Mask[64] = 0;
        for (auto& query : port.PollQueries) query[64] = 0;
        port.Reserved[0] = port.Reserved[1] = 0;
    }
}

bool SameConfig(const ModuleConfig& a, const ModuleConfig& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::map<int, uint16_t> ExpectedRegisters(const ModuleConfig& config, int16_t printProgBaud,
                                          bool plus) {
    std::map<int, uint16_t> registers;
    for (const RegisterBlock& block : FullSendImage(config, printProgBaud, plus))
        for (size_t i = 0; i < block.values.size(); ++i)
            registers[block.first + int(i)] = block.values[i];
    return registers;
}
