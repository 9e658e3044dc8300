// The register viewer: a live, editable table of up to 20 consecutive
// controller registers (4x or 3x) in hexadecimal, unsigned, signed and binary,
// with each register's Sy/Max status register beside it.
#pragma once

#include "link/link.h"
#include "setup/setup_in_force.h"

// Sy/Max keeps a register's status register this far above it.
constexpr int kStatusRegisterOffset = 8192;

// Runs until Esc, with the viewer settings in force (F8 and F9 edit them);
// F9 may replace the link, in the owner's handle, so that the owner never
// holds a closed one.
void RegisterViewer(SetupInForce& settings, LinkHandle& link, int statusOffset);
