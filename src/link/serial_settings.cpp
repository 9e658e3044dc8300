// Timing of a serial line.
#include "link/serial_settings.h"

unsigned ReadIntervalMs(unsigned baud) {
    if (baud == 0) return 0;
    return (4 * baud + 153996) / baud;
}

int BitsPerCharacter(const LineSettings& settings) {
    return 1 + settings.dataBits + (settings.parity != ParityNone ? 1 : 0) + settings.stopBits;
}

int64_t CharacterNanoseconds(const LineSettings& settings) {
    unsigned baud = settings.baud ? settings.baud : 9600;
    return int64_t(BitsPerCharacter(settings)) * 1000000000 / baud;
}
