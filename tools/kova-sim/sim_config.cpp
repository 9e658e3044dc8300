// Starting the simulated module from a configuration file: the file is read
// with the program's own file code and its registers come from the same
// register map that a send uses, so the module holds what a full send of the
// file would have left.
#include "sim_config.h"

#include <cstdio>

#include "config/config_file_image.h"
#include "config/disk_file.h"
#include "transfer/module_image.h"

namespace {

bool LoadConfigFile(const std::string& path, SimModel model, RegisterImage& image) {
    auto bytes = ReadFilePrefix(path, kConfigFileSize);
    auto decoded = bytes ? DecodeConfigFile(bytes->data(), bytes->size()) : std::nullopt;
    if (!decoded) {
        fprintf(stderr, "kova-sim: %s is not a readable configuration file\n", path.c_str());
        return false;
    }
    ModuleConfig config{};
    config.Plus = decoded->contents.plus;
    for (int p = 0; p < 4; ++p) config.Ports[p] = decoded->contents.ports[p];
    for (const RegisterBlock& block :
         FullSendImage(config, decoded->contents.printProgBaud, model == SimModel::Plus))
        for (size_t i = 0; i < block.values.size(); ++i)
            image.At(block.first + int(i)) = block.values[i];
    return true;
}

}  // namespace

bool PrepareImage(const SimOptions& options, RegisterImage& image) {
    image.eepromStatus = options.eeprom ? options.eepromStatus : kEepromWriteCommand;
    if (!options.configFile.empty() && !LoadConfigFile(options.configFile, options.model, image))
        return false;
    image.At(kCtsStatusRegister) = uint16_t(options.cts);
    for (const auto& [reg, value] : options.presets) image.At(reg) = value;
    return true;
}
