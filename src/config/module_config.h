// The module configuration record: one EditPlus and four PortConfig records.
// The structs are the exact little-endian file image (packed, asserted sizes),
// so a file or register transfer can copy them byte for byte on this host.
#pragma once
#include <cstdint>

#pragma pack(push, 1)

struct EditPlus {
    int16_t TriggerInhibit[4];    // per port; 0 = none
    int16_t TerminateCount[4];    // per port; 0 = not used, at most 80
    int16_t TerminateTimeout[4];  // per port; 0-9999, 0 = not used
    int16_t RackBase;             // 1-8191
};

struct DataPath {
    char Pattern[65];
    char Mask[65];
    int16_t StartRegister;
    int16_t RegisterCount;  // 0-64
    uint8_t EditingMode;    // index into the editing mode list
    uint8_t Continue;       // 0 NO, 1 YES; paths 1-3 only
};

using CharSet = uint8_t[32];  // code c is bit (c % 8) of byte (c / 8)

struct PortConfig {
    int16_t BaudRate;  // index into the port baud rate list
    int16_t DataBits;  // 0 = 7, 1 = 8
    int16_t Parity;    // 0 NONE, 1 ODD, 2 EVEN
    int16_t StopBits;  // 0 = 1, 1 = 2
    int16_t Capitalize;
    CharSet AcceptSet;
    CharSet TerminateSet;
    DataPath Paths[4];
    char PollQueries[16][65];
    uint8_t Reserved[2];    // kept as read
    uint32_t PollInterval;  // hundredths of a second; 0 = no polling
};

struct ModuleConfig {
    EditPlus Plus;
    PortConfig Ports[4];
};

#pragma pack(pop)

static_assert(sizeof(EditPlus) == 26);
static_assert(sizeof(DataPath) == 136);
static_assert(sizeof(PortConfig) == 1664);
static_assert(sizeof(ModuleConfig) == 26 + 4 * 1664);
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the record is the little-endian file image");

inline bool CharSetHas(const CharSet& set, unsigned code) {
    return (set[(code & 0xFF) / 8] >> (code % 8)) & 1;
}
inline void CharSetPut(CharSet& set, unsigned code, bool on) {
    uint8_t bit = uint8_t(1u << (code % 8));
    if (on)
        set[(code & 0xFF) / 8] |= bit;
    else
        set[(code & 0xFF) / 8] &= uint8_t(~bit);
}

// What a module said it is: a PLUS module has the PLUS values, a standard one
// does not. Unknown until a transfer has asked.
constexpr int16_t kModelStandard = 0;
constexpr int16_t kModelPlus = 1;
constexpr int16_t kModelUnknown = 2;
