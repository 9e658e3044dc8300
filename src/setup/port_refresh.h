// The port list read afresh, with the settings still naming the ports they
// named: an adapter plugged in after start can be chosen, and one plugged
// back (perhaps at another place in the list) is found again.
#pragma once
#include <string>

#include "setup/link_setup.h"

// Reads the list again. The link's and the terminal's port indexes move
// with their names; an index whose name is gone stays as it is (the forms
// show what is there now). Returns the link port's name when it was in the
// list before and is not now, else "".
std::string RefreshSerialPorts(LinkSetup& setup);
