// Random bytes into the Modbus RTU receive mode (and its transmitter).
#include "link_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzReceiveMode(LinkModbusRtu, data, size);
    return 0;
}
