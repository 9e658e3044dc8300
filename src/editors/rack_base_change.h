// The rack base change dialog: moving every register number of the
// configuration with the rack base (the paths' start registers, the
// Trigger/Inhibit registers and the "@" register references inside poll
// queries), offline or on the module.
#pragma once
#include "config/online_writes.h"

// Stores newBase as the configuration's rack base and offers to move the
// registers by the distance. Returns 0 when the bases are equal or an online
// transfer failed, else 1.
int ChangeRackBase(ModuleConfig& config, int oldBase, int newBase, OnlineWrites& writes);

// With distance 0: 1 as soon as a query holds a register reference, else 0.
// Otherwise moves every reference by the distance and returns 0. Does
// nothing (0) on a standard module.
int AdjustOutputStrings(ModuleConfig& config, int distance, OnlineWrites& writes);
