// This computer's side of the link: the 150-byte settings record that is also
// the setup file's image, the three built-in default sets and the program
// state kept with it (the startup file name every save goes to).
#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum LinkType : int16_t {
    LinkTypeNone = 0,
    LinkTypeSyMax = 1,
    LinkTypeNetToNet = 2,
    LinkTypeGateway = 3,
    LinkTypeModbusRtu = 4,
    LinkTypeModbusAscii = 5,
    LinkTypeModbusTcp = 6,
};

// ErrorCheck: the Sy/Max block check of the link.
constexpr int16_t kErrorCheckBcc = 0, kErrorCheckCrc = 1;

constexpr int kRouteSlots = 10;
constexpr int kRouteEdited = 8;  // the link and the route field use the first eight
constexpr int kTcpHostLength = 30;
// LinkPort of a serial kind whose line is behind a serial device server:
// the server is TcpHost and TcpPort (the fields a Modbus TCP link keeps),
// and the link's port is named tcp:HOST:PORT. No index of a port list.
constexpr int16_t kNetworkLinkPort = 0x7E7E;

// The file is the record's memory image, little-endian; fields are in file
// order and every one is 16-bit aligned, so there is no padding.
struct LinkSetup {
    int16_t ConnectionType;
    int16_t LinkPort;
    int16_t LinkReserved;
    int16_t LinkBaud;
    int16_t LinkDataBits;
    int16_t LinkStopBits;
    int16_t LinkParity;
    int16_t ErrorCheck;
    uint16_t RouteCount;
    uint16_t Route[kRouteSlots];
    int16_t TerminalPort;
    int16_t TerminalBaud;
    int16_t TerminalDataBits;
    int16_t TerminalStopBits;
    int16_t TerminalParity;
    char EditorName[42];
    int16_t ViewerPriority;
    int16_t ViewerStatusRegisters;
    int16_t ViewerScreenSize;
    int16_t ViewerStartRegister;
    int16_t ViewerIdentifyModule;
    int16_t TrapErrors;
    int16_t LinkTimeout;
    uint16_t TcpPort;
    char TcpHost[42];
    int16_t ViewerRegisterSet;
};

constexpr size_t kSetupFileSize = 150;
static_assert(sizeof(LinkSetup) == kSetupFileSize);
static_assert(offsetof(LinkSetup, Route) == 18);
static_assert(offsetof(LinkSetup, TerminalPort) == 38);
static_assert(offsetof(LinkSetup, EditorName) == 48);
static_assert(offsetof(LinkSetup, ViewerPriority) == 90);
static_assert(offsetof(LinkSetup, TcpPort) == 104);
static_assert(offsetof(LinkSetup, TcpHost) == 106);
static_assert(offsetof(LinkSetup, ViewerRegisterSet) == 148);
static_assert(std::endian::native == std::endian::little,
              "the setup file is the record's little-endian image");

// The default set chosen by the startup file's name: "KD22X..." set 3,
// "HOLV..." or "LXN..." set 2, any other set 1.
LinkSetup DefaultSetupFor(const std::string& startupName);

std::vector<uint8_t> EncodeSetup(const LinkSetup& setup);
// The first 150 bytes; nullopt when there are fewer.
std::optional<LinkSetup> DecodeSetup(const uint8_t* bytes, size_t size);

// Both baud rates index the setup's list (a damaged or foreign file may hold any number).
bool SetupBaudsInList(const LinkSetup& setup);

// The link baud rate in bits per second (134.5 baud as 135).
int32_t LinkBaudRate(const LinkSetup& setup);
