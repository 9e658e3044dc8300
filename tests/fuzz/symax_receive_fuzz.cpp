// Random bytes into the Sy/Max receive mode (and its transmitter).
#include "link_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzReceiveMode(LinkSyMax, data, size);
    return 0;
}
