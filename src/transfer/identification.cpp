// The identification check on the module's name block.
#include "transfer/identification.h"

#include <cstdio>
#include <cstring>

#include "transfer/module_registers.h"

namespace {

// Names accepted whatever the caller expects.
const char* const kAlwaysAccepted[] = {"TLXN", "VLXN", "WLXN"};

bool BeginsWith(const NameBlock& block, const char* prefix) {
    size_t length = std::strlen(prefix);
    return length <= sizeof block.name && std::memcmp(block.name, prefix, length) == 0;
}

}  // namespace

NameBlock DecodeNameBlock(const uint16_t registers[kIdentBlockCount]) {
    NameBlock block;
    const uint16_t information = registers[0];
    block.reportsPort = (information & 0x8000) != 0;
    block.port = static_cast<uint8_t>(information);
    for (int i = 0; i < kDeviceNameLength / 2; ++i) {
        const uint16_t pair = registers[kDeviceNameRegister - kPortInformationRegister + i];
        block.name[2 * i] = static_cast<char>(pair >> 8);
        block.name[2 * i + 1] = static_cast<char>(pair);
    }
    block.marked = registers[kIdentMarkerRegister - kPortInformationRegister] == kIdentMarkerValue;
    return block;
}

bool NameAccepted(const NameBlock& block, const char* expected) {
    if (!expected || BeginsWith(block, expected)) return true;
    for (const char* prefix : kAlwaysAccepted)
        if (BeginsWith(block, prefix)) return true;
    return false;
}

std::string ShownName(const NameBlock& block) {
    std::string name(block.name, strnlen(block.name, sizeof block.name));
    while (!name.empty() && (name.back() == ' ' || name.back() == 'E' || name.back() == 'O'))
        name.pop_back();
    for (char& c : name)
        if (uint8_t(c) < 0x20 || c == 0x7F) c = '?';
    if (block.reportsPort) name += " Port " + std::to_string(block.port);
    return name;
}

Identification CheckIdentification(ModuleSession& session, const char* expectedName) {
    Link* link = session.link;
    TransferReporter& reporter = session.Reports();
    const bool expecting = expectedName && *expectedName;
    Identification result;
    uint16_t registers[kIdentBlockCount];
    if (!ReadRegistersQuietly(link, kPortInformationRegister, kIdentBlockCount, registers)) {
        if (expecting) result.goOn = reporter.Error(LinkErrorText(link)) ? 1 : 0;
        return result;
    }
    const NameBlock block = DecodeNameBlock(registers);
    if (!block.marked) {
        result.row = NameRow::Blank;
        return result;
    }
    if (expecting && !NameAccepted(block, expectedName)) {
        char text[128];
        snprintf(text, sizeof text, "Connected module is not an %s", expectedName);
        result.goOn = reporter.Error(text) ? 1 : 0;
        return result;
    }
    result.row = NameRow::Show;
    result.name = ShownName(block);
    return result;
}
