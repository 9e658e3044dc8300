// The list of this computer's serial ports that the link and terminal
// settings pick from: the ttys the kernel lists under /sys/class/tty with a
// device behind them, in natural order (ttyUSB2 before ttyUSB10).
#pragma once
#include <string>
#include <vector>

constexpr int kSerialPortSlots = 40;  // the first empty slot ends the list

// Null-terminated, so that it serves directly as a choice list; at most 39
// names. Empty until EnumerateSerialPorts runs.
extern const char* SerialPortList[kSerialPortSlots];

void EnumerateSerialPorts();
int SerialPortCount();
// The name at an index of the list, or null when the slot is empty or the
// index lies outside the list.
const char* SerialPortAt(int index);
// The device to open for a listed name.
std::string SerialPortPath(const char* name);

// The serial ttys under sysDirectory/class/tty, naturally ordered. A tty
// counts when it has a device behind it; a serial-core port whose type is 0
// has no UART (the legacy ttyS ports the kernel always registers) and is
// left out.
std::vector<std::string> ListSerialDevices(const std::string& sysDirectory);
// Digit runs compare by value, other text by bytes.
bool NaturalLess(const std::string& a, const std::string& b);
