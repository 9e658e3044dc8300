// The register viewer: a live, editable table of up to 20 consecutive
// controller registers (4x or 3x) in hexadecimal, unsigned, signed and binary,
// with each register's Sy/Max status register beside it.
#pragma once
#include <functional>

#include "link/link.h"
#include "setup/setup_in_force.h"

// Sy/Max keeps a register's status register this far above it.
constexpr int kStatusRegisterOffset = 8192;

// Runs until Esc, with the viewer settings in force (F8 and F9 edit them); returns the link in
// force at the end (F9 may replace the one it was given). linkChanged, when given, hears of a
// replacement at once, so whoever owns the current link never holds a closed one meanwhile.
Link* RegisterViewer(SetupInForce& settings, Link* link, int statusOffset,
                     const std::function<void(Link*)>& linkChanged = {});
