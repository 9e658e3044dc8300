#include "transfer_fixture.h"

#include <cstring>

#include "transfer/module_image.h"

ModuleConfig DistinctConfig(int seed) {
    ModuleConfig config;
    auto* bytes = reinterpret_cast<uint8_t*>(&config);
    for (size_t i = 0; i < sizeof config; ++i)
        bytes[i] = uint8_t((i * 37 + size_t(seed)) % 251 + 1);
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
