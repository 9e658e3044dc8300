// The dialogs' sequences of section operations.
#include "transfer/module_transfer.h"

#include <cstdio>

#include "config/config_ranges.h"
#include "transfer/port_transfer.h"
#include "transfer/print_prog_baud.h"
#include "transfer/section_transfer.h"

namespace {

void ShowPort(TransferReporter& reporter, int port) {
    char text[16];
    snprintf(text, sizeof text, "Port %d", port);
    reporter.Port(text);
}

// The result after the port text is cleared.
int Done(TransferReporter& reporter, int result) {
    reporter.Port("");
    return result;
}

}  // namespace

int SendAllPorts(ModuleSession& session, ModuleConfig& config, int16_t printProgBaud,
                 LinkSetup& setup, SendPart* reached) {
    TransferReporter& reporter = session.Reports();
    SendPart ignored;
    SendPart& part = reached ? *reached : ignored;
    part = SendPart::Nothing;
    if (Refused(reporter, ModuleOutOfRange(config, printProgBaud))) return 0;
    part = SendPart::RackBase;
    if (!SendRackBase(session, config.Plus)) return Done(reporter, 0);
    for (int port = 1; port <= 4; ++port) {
        part = SendPart(int(SendPart::Port1) + port - 1);
        ShowPort(reporter, port);
        if (!SendPort(session, config, port, port, true)) return Done(reporter, 0);
    }
    part = SendPart::PrintProgBaud;
    if (!SendPrintProgBaud(session, printProgBaud, setup)) return Done(reporter, 0);
    part = SendPart::Done;
    return Done(reporter, 1);
}

int SendOnePort(ModuleSession& session, ModuleConfig& config, int memoryPort, int modulePort,
                int16_t printProgBaud, LinkSetup& setup) {
    TransferReporter& reporter = session.Reports();
    if (Refused(reporter, PortSendOutOfRange(config, memoryPort, printProgBaud))) return 0;
    int ok = SendPort(session, config, memoryPort, modulePort, true) &&
             SendPrintProgBaud(session, printProgBaud, setup) && SendRackBase(session, config.Plus);
    return Done(reporter, ok);
}

int FetchAllPorts(ModuleSession& session, ModuleConfig& config, int16_t& printProgBaud) {
    TransferReporter& reporter = session.Reports();
    for (int port = 1; port <= 4; ++port) {
        ShowPort(reporter, port);
        if (!FetchPort(session, config, port, port, true)) return Done(reporter, 0);
    }
    reporter.Port("");
    return FetchPrintProgBaud(session, printProgBaud) && FetchRackBase(session, config.Plus);
}

int FetchOnePort(ModuleSession& session, ModuleConfig& config, int modulePort, int memoryPort,
                 int16_t& printProgBaud) {
    TransferReporter& reporter = session.Reports();
    int ok = FetchPort(session, config, modulePort, memoryPort, true) &&
             FetchPrintProgBaud(session, printProgBaud) && FetchRackBase(session, config.Plus);
    return Done(reporter, ok);
}
