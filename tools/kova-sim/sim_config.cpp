// Starting the simulated module from a configuration file: the file is read
// with the program's own file code and its registers come from the same
// register map that a send uses, so the module holds what a full send of the
// file would have left.
#include "sim_config.h"

#include <cstdio>

#include "config/config_files.h"
#include "transfer/module_image.h"

namespace {

bool LoadImageFrom(const std::string& path, SimModel model, RegisterImage& image) {
    const LoadedConfigFile loaded = LoadConfigFile(path);
    if (loaded.outcome != ConfigFileLoad::Loaded) {
        fprintf(stderr, "kova-sim: %s is not a readable configuration file\n", path.c_str());
        return false;
    }
    for (const RegisterBlock& block :
         FullSendImage(ModuleConfigOf(loaded.contents), loaded.contents.printProgBaud,
                       model == SimModel::Plus))
        for (size_t i = 0; i < block.values.size(); ++i)
            image.At(block.first + int(i)) = block.values[i];
    return true;
}

}  // namespace

bool PrepareImage(const SimOptions& options, RegisterImage& image) {
    image.eepromStatus = options.eeprom ? options.eepromStatus : kEepromWriteCommand;
    if (!options.configFile.empty() && !LoadImageFrom(options.configFile, options.model, image))
        return false;
    image.At(kCtsStatusRegister) = uint16_t(options.cts);
    for (const auto& [reg, value] : options.presets) image.At(reg) = value;
    return true;
}
