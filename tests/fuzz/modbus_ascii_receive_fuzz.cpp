// Random bytes into the Modbus ASCII receive mode (and its transmitter).
#include "link_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzReceiveMode(LinkModbusAscii, data, size);
    return 0;
}
