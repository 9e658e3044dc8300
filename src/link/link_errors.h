// Error code tables of the Sy/Max and Modbus protocols and the link error
// texts built from them.
#pragma once
#include <cstddef>

#include "link/link.h"

constexpr unsigned kSyMaxErrorCount = 136;

// Codes beyond the table read "Unknown Error".
const char* SyMaxErrorText(unsigned code);
// Null for code 0 and codes above 12.
const char* ModbusExceptionText(unsigned code);

// "(%u) %s" with the Sy/Max text.
void SetSyMaxErrorText(Link* link, unsigned code);
// One text for a Modbus exception on every link kind (RTU, ASCII, TCP, and
// exceptions carried over Sy/Max): "Modbus error reply 2 ILLEGAL DATA
// ADDRESS", or "Modbus error reply 13" for a code without a text.
void FormatModbusException(unsigned code, char* text, size_t size);
void SetModbusExceptionText(Link* link, unsigned code);
