// Reading and judging the module's name block (registers 8176-8188 in one
// request): whether to go on with a module function and which name row 2
// shows. The screen draws the result; nothing here knows of it.
#pragma once
#include <cstdint>
#include <string>

#include "transfer/module_session.h"
#include "transfer/register_map.h"

struct NameBlock {
    bool marked = false;  // the marker register holds 0x9990
    char name[kDeviceNameLength] = {};
    bool reportsPort = false;  // bit 7 of the port information's high byte
    uint8_t port = 0;          // its low byte
};

NameBlock DecodeNameBlock(const uint16_t registers[kIdentBlockCount]);

// Whether the device name begins with the expected name (an empty one always
// matches) or with one of the prefixes accepted whatever is expected.
bool NameAccepted(const NameBlock& block, const char* expected);

// The name as row 2 shows it: up to its first NUL, blanks, 'E' and 'O'
// dropped from its end, then " Port n" when the device reports a port. The
// port is written in decimal, so a port byte above 9 reads as a number, not as
// the character after '9'; control characters show as '?'.
std::string ShownName(const NameBlock& block);

enum class NameRow {
    Unchanged,  // a failed read or a wrong name leaves row 2 as it was
    Blank,      // no name block: row 2 is blanked
    Show,       // name: centred on row 2
};

struct Identification {
    int goOn = 1;  // 0: the user stopped (Esc) at a failed read or a wrong name
    NameRow row = NameRow::Unchanged;
    std::string name;
};

// With expectedName null or empty a failed read is silent and any name
// passes. Otherwise a failed read shows the link's error text and a wrong
// name "Connected module is not an <expected>", and the user's answer
// decides.
Identification CheckIdentification(ModuleSession& session, const char* expectedName);
