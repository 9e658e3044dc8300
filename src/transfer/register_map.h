// The KOVA module's register map: where each part of a port's configuration
// and each module-wide value lives, and how it is encoded there. Sending,
// fetching, the simulated module and the command-line tools all read this one
// table, so a register number is written down exactly once.
#pragma once
#include <cstdint>

// Module ports 1-4 each own 1343 registers from PortBase(p).
constexpr int kPortRegisterCount = 1343;
constexpr int kModulePorts = 4;
constexpr int PortBase(int modulePort) { return 1343 * modulePort + 706; }

// Module-wide registers.
constexpr int kPrintProgBaudRegister = 7421;
constexpr int kRackBaseRegister = 7422;
constexpr int TerminateCountRegister(int modulePort) { return 7422 + modulePort; }
constexpr int TerminateTimeoutRegister(int modulePort) { return 7426 + modulePort; }
constexpr int TriggerInhibitRegister(int modulePort) { return 7430 + modulePort; }
// Port 1's terminate count doubles as the test that tells a PLUS module from
// a standard one: only a PLUS module lets it be written.
constexpr int kPlusTestRegister = TerminateCountRegister(1);

// The special registers of identification, EEPROM and CTS status.
constexpr int kEepromCommandRegister = 8174;
constexpr uint16_t kEepromWriteCommand = 0xC5C5;  // written: store; read back: no EEPROM
constexpr int kPortInformationRegister = 8176;    // high byte bit 7: low byte is a port number
constexpr int kDeviceNameRegister = 8177;         // 20 characters, first in the high byte
constexpr int kDeviceNameLength = 20;
constexpr int kCtsStatusRegister = 8187;
constexpr int kIdentMarkerRegister = 8188;
constexpr uint16_t kIdentMarkerValue = 0x9990;
constexpr int kIdentBlockCount = kIdentMarkerRegister - kPortInformationRegister + 1;  // 13

// What a section holds and how its fields become registers.
enum class SectionKind : uint8_t {
    Comms,         // BaudRate, DataBits, Parity, StopBits, Capitalize
    AcceptSet,     // 32 bytes
    TerminateSet,  // 32 bytes
    Pattern,       // of path `index`
    Mask,          // of path `index`
    PathNumbers,   // StartRegister, RegisterCount, EditingMode, Continue of path `index`
    PollInterval,  // 32 bits
    PollQuery,     // query `index`, 64 bytes
};

enum class Encoding : uint8_t {
    Numbers,         // one 16-bit register per field, as stored
    BytePairs,       // two bytes a register, the first byte in the high half
    TerminatedText,  // 64 characters in byte pairs, then a register that is always 0
    PathNumbers,     // two 16-bit numbers, then two bytes zero-extended
    HighThenLow,     // a 32-bit number, its high 16 bits first
};

struct PortSection {
    SectionKind kind;
    uint8_t index;    // path 0-3 or poll query 0-15; 0 otherwise
    uint16_t offset;  // first register, counted from the port's base
    uint8_t count;    // registers
    Encoding encoding;
};

// Every section of a port in the order a whole-port send writes them:
// comms, accept set, terminate set, each path's pattern, mask and numbers,
// the poll interval, then the sixteen poll queries.
constexpr int kPortSectionCount = 3 + 4 * 3 + 1 + 16;
extern const PortSection kPortSections[kPortSectionCount];
constexpr int kMaxSectionRegisters = 33;

// The row of a section; path and query are 0-based here.
const PortSection& CommsSection();
const PortSection& AcceptSetSection();
const PortSection& TerminateSetSection();
const PortSection& PatternSection(int path);
const PortSection& MaskSection(int path);
const PortSection& PathNumbersSection(int path);
const PortSection& PollIntervalSection();
const PortSection& PollQuerySection(int query);

inline int SectionRegister(int modulePort, const PortSection& section) {
    return PortBase(modulePort) + section.offset;
}
