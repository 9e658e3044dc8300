// The settings record, its default sets and its file image.
#include "setup/link_setup.h"

#include <cstring>

#include "config/config_lists.h"
#include "setup/setup_choices.h"

namespace {

struct DefaultSet {
    int16_t connectionType;
    uint16_t routeCount, firstDrop;
    int16_t statusRegisters, identifyModule;
    uint16_t tcpPort;
};

constexpr DefaultSet kSet1 = {LinkTypeSyMax, 0, 0, 0, 0, 502};
// Modbus RTU starts at slave 1: 255 is no address on a serial line.
constexpr DefaultSet kSet2 = {LinkTypeModbusRtu, 1, 1, 0, 0, 502};
constexpr DefaultSet kSet3 = {LinkTypeSyMax, 1, 201, 1, 1, 504};

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

const DefaultSet& DefaultSetOf(const std::string& name) {
    if (StartsWith(name, "KD22X")) return kSet3;
    if (StartsWith(name, "HOLV") || StartsWith(name, "LXN")) return kSet2;
    return kSet1;
}

}  // namespace

LinkSetup DefaultSetupFor(const std::string& startupName) {
    const DefaultSet& d = DefaultSetOf(startupName);
    LinkSetup s{};
    s.ConnectionType = d.connectionType;
    s.LinkBaud = s.TerminalBaud = 13;         // 9600
    s.LinkDataBits = s.TerminalDataBits = 1;  // 8
    s.LinkParity = 1;                         // EVEN
    s.RouteCount = d.routeCount;
    s.Route[0] = d.firstDrop;
    std::strcpy(s.EditorName, "EDIT.COM");
    s.ViewerStatusRegisters = d.statusRegisters;
    s.ViewerScreenSize = 20;
    s.ViewerStartRegister = 1;
    s.ViewerIdentifyModule = d.identifyModule;
    s.LinkTimeout = 500;
    s.TcpPort = d.tcpPort;
    return s;
}

std::vector<uint8_t> EncodeSetup(const LinkSetup& setup) {
    std::vector<uint8_t> bytes(kSetupFileSize);
    std::memcpy(bytes.data(), &setup, kSetupFileSize);
    return bytes;
}

std::optional<LinkSetup> DecodeSetup(const uint8_t* bytes, size_t size) {
    if (size < kSetupFileSize) return std::nullopt;
    LinkSetup setup;
    std::memcpy(&setup, bytes, kSetupFileSize);
    return setup;
}

bool SetupBaudsInList(const LinkSetup& setup) {
    auto inList = [](int16_t index) { return index >= 0 && index < kSetupBaudCount; };
    return inList(setup.LinkBaud) && inList(setup.TerminalBaud);
}

int32_t LinkBaudRate(const LinkSetup& setup) {
    if (setup.LinkBaud < 0 || setup.LinkBaud >= kSetupBaudCount) return 0;
    return kSetupBaudValues[setup.LinkBaud];
}
