// A whole-module send as a list of register blocks.
#include "transfer/module_image.h"

#include "transfer/register_map.h"
#include "transfer/section_codec.h"

namespace {

RegisterBlock Word(int reg, int16_t value) { return {reg, {static_cast<uint16_t>(value)}}; }

}  // namespace

std::vector<RegisterBlock> FullSendImage(const ModuleConfig& config, int16_t printProgBaud,
                                         bool plus) {
    std::vector<RegisterBlock> blocks;
    blocks.push_back(Word(kRackBaseRegister, config.Plus.RackBase));
    for (int p = 1; p <= kModulePorts; ++p) {
        for (const PortSection& section : kPortSections) {
            RegisterBlock block{SectionRegister(p, section), std::vector<uint16_t>(section.count)};
            EncodeSection(config.Ports[p - 1], section, block.values.data());
            blocks.push_back(std::move(block));
        }
        if (!plus) continue;
        blocks.push_back(Word(TerminateCountRegister(p), config.Plus.TerminateCount[p - 1]));
        blocks.push_back(Word(TerminateTimeoutRegister(p), config.Plus.TerminateTimeout[p - 1]));
        blocks.push_back(Word(TriggerInhibitRegister(p), config.Plus.TriggerInhibit[p - 1]));
    }
    blocks.push_back(Word(kPrintProgBaudRegister, printProgBaud));
    return blocks;
}
