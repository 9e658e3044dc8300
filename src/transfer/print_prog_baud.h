// Changing the baud rate of the module's print/programming port, with the
// offer to move this computer's port to the same rate.
#pragma once
#include <cstdint>

#include "link/link.h"
#include "setup/link_setup.h"
#include "transfer/transfer_reporter.h"

// Writes printProgBaud (an index 0-3: 300, 1200, 2400, 9600) to the module.
// When that rate differs from the link's, asks "KOVA now at %d baud. Change
// computer port to match?"; yes sets setup.LinkBaud to the rate and re-applies
// the open link's line settings; either way the value is written once more.
// An index outside the list is written as it stands and asks nothing, since
// there is no rate to offer. Returns 1, or 0 after reporting a failure.
int SendPrintProgBaud(Link* link, TransferReporter& reporter, int16_t printProgBaud,
                      LinkSetup& setup);
