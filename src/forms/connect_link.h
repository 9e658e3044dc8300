// Turning the link settings into an open link, with the "ATTEMPTING TO
// CONNECT" window, and re-applying the line settings to a link already open.
#pragma once
#include <string>

#include "link/link.h"
#include "setup/link_opening.h"
#include "setup/setup_in_force.h"

// Opens a link from the settings in force when current is null, with the
// shell's connectIdle hook as its idle routine; in every case applies the
// baud rate, parity, stop bits, data bits and timeout to the link. Returns
// the link (current or new), or null when none could be opened. A failure's
// reason goes to the status row (row 25), noted in the settings'
// connectReasonShown, and is cleared from the screen when a link opens.
Link* ConnectLink(SetupInForce& settings, Link* current);
