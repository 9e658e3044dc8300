// Register access with the transfers' failure report.
#include "transfer/module_registers.h"

int ReadRegistersQuietly(Link* link, int reg, int count, uint16_t* values) {
    for (int i = 0; i < count; ++i) values[i] = 0;
    int n = RegisterRead(link, reg, count, values);
    if (n <= 0) return 0;
    // A Sy/Max reply may carry fewer registers than were asked for.
    if (n < count) {
        SetLinkError(link, "Read reply too short");
        return 0;
    }
    return 1;
}

int ReadModuleRegisters(Link* link, TransferReporter& reporter, int reg, int count,
                        uint16_t* values) {
    if (ReadRegistersQuietly(link, reg, count, values)) return 1;
    reporter.Error(LinkErrorText(link));
    return 0;
}

int WriteModuleRegisters(Link* link, TransferReporter& reporter, int reg, int count,
                         const uint16_t* values) {
    if (RegisterWrite(link, reg, count, values) > 0) return 1;
    reporter.Error(LinkErrorText(link));
    return 0;
}
