// Changing the baud rate of the module's print/programming port, with the
// offer to move this computer's port to the same rate.
#pragma once
#include <cstdint>

#include "link/link.h"
#include "setup/link_setup.h"
#include "transfer/module_session.h"

// Writes printProgBaud (an index 0-3: 300, 1200, 2400, 9600) to the module.
// When that rate differs from the link's, asks "KOVA now at %d baud. Change
// computer port to match?"; yes sets setup.LinkBaud to the rate and re-applies
// the open link's line settings; either way the value is written once more.
// An index outside the list is written as it stands and asks nothing, since
// there is no rate to offer. Returns 1, or 0 after reporting a failure.
int SendPrintProgBaud(ModuleSession& session, int16_t printProgBaud, LinkSetup& setup);

// Whether the link reaches the module through its print/programming port,
// the line a change of that port's rate moves: its kind's row says (a serial
// link of this computer does; over Modbus TCP the port is somebody else's
// line).
bool LinkRunsThroughPrintProgPort(const Link* link);
// Before a new rate is written over such a link at another rate than the
// link's: asks "Link runs via Print/Prog port: at %d baud KOVA stops
// answering. Write?". True to write (also when nothing needs asking).
bool ConfirmPrintProgBaudChange(ModuleSession& session, int16_t printProgBaud,
                                const LinkSetup& setup);
