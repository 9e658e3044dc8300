// kova-link poll: registers read at a steady interval, one CSV line a poll.
#pragma once
#include "link/link.h"
#include "link_options.h"

// Polls until --count polls are done (a signal ends the process); the
// caller's handle closes the link.
// 0 when every poll succeeded, 1 otherwise.
int Poll(Link* link, const LinkOptions& o);
