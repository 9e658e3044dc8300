// Fuzz target: any configuration file of up to 7000 bytes either decodes and
// validates into a sound record or is refused.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "config/config_file_image.h"
#include "config/validate.h"

namespace {

void Require(bool ok) {
    if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 7000) size = 7000;
    auto decoded = DecodeConfigFile(data, size);
    if (!decoded) {
        // Too short for the oldest layout, or opening with a version word and
        // too short for that version's layout.
        Require(size < 2476 || size < VersionedLayoutSize(data, size));
        return 0;
    }
    ModuleConfig config = ModuleConfigOf(decoded->contents);
    int reports = 0;
    ValidatePortsOf(config, 0, 3, [&](const std::string& m) {
        Require(!m.empty() && m.size() < 136);
        ++reports;
    });
    Require(reports <= 4 * 6);
    for (const PortConfig& port : config.Ports) {
        Require(port.DataBits == 0 || port.DataBits == 1);
        for (const DataPath& path : port.Paths) {
            Require(strnlen(path.Pattern, 65) <= 64 && strnlen(path.Mask, 65) <= 64);
            Require(path.StartRegister >= 1 && path.StartRegister <= 8192);
            Require(path.RegisterCount >= 0 && path.RegisterCount <= 64);
        }
        for (const auto& query : port.PollQueries) Require(strnlen(query, 65) <= 64);
    }
    // What was read writes back to the same bytes of the current layout.
    std::vector<uint8_t> again = EncodeConfigFile(decoded->contents);
    auto round = DecodeConfigFile(again.data(), again.size());
    Require(round && round->layout == ConfigLayout::V1113);
    Require(std::memcmp(round->contents.ports, decoded->contents.ports,
                        sizeof round->contents.ports) == 0);
    return 0;
}
