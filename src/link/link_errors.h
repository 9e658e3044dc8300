// Error code tables of the Sy/Max and Modbus protocols and the link error
// texts built from them.
#pragma once
#include "link/link.h"

constexpr unsigned kSyMaxErrorCount = 136;

// Codes beyond the table read "Unknown Error".
const char* SyMaxErrorText(unsigned code);
// Null for code 0 and codes above 12.
const char* ModbusExceptionText(unsigned code);

// "(%u) %s" with the Sy/Max text.
void SetSyMaxErrorText(Link* link, unsigned code);
// "Modbus error reply %u " followed by the exception text where there is one.
void SetModbusExceptionText(Link* link, unsigned code);
