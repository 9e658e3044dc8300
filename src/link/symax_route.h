// The route of a Sy/Max frame: each entry as two hexadecimal characters.
#pragma once
#include "link/link_state.h"

// Writes the route characters and the 0xFF 0xFF end into the address area.
void EncodeRoute(Packet* packet, const LinkRoute& route);
// True when the address area is whole hexadecimal pairs ended by 0xFF.
bool CheckReplyRoute(const Packet* packet);
