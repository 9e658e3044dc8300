// Line settings of a serial port and the timing that follows from them.
#pragma once
#include <cstdint>

enum SerialParity {
    ParityNone = 0,
    ParityEven = 1,
    ParityOdd = 2,
    ParitySpace = 3,
    ParityMark = 4
};

struct LineSettings {
    unsigned baud = 9600;
    int parity = ParityEven;
    int dataBits = 8;
    int stopBits = 1;
    bool ctsFlow = true;   // CTS holds output back and RTS signals room to receive
    bool xonXoff = false;  // XON/XOFF flow control in both directions
};

// The pause that ends a read: (4 x baud + 153996) / baud milliseconds.
unsigned ReadIntervalMs(unsigned baud);
// Bits one character takes on the line: start, data, parity and stop bits.
int BitsPerCharacter(const LineSettings& settings);
// Nanoseconds a character takes on the line.
int64_t CharacterNanoseconds(const LineSettings& settings);
