// The connection types of the link settings and the link kinds they open:
// two numberings of the same thing (the setup file's and the link
// record's), mapped in one table both ways.
#pragma once
#include <cstdint>

#include "link/link.h"

// The link kind a connection type opens; 0 for None and unknown types.
uint32_t LinkKindOfType(int connectionType);
// The connection type that opens a link of this kind (Net-to-Net is a
// Sy/Max link with its own type); LinkTypeNone for kinds without one.
int16_t LinkTypeOfKind(uint32_t kind, bool netToNet);
