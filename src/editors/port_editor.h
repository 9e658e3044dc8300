// The port configuration editor: one port of the working configuration on
// one screen, a key per field, offline or (with the module's writes) online.
#pragma once
#include "config/online_writes.h"

// The port shown (0-3); kept between calls.
extern int CurrentPort;

// Runs until Esc or, online, until a write to the module fails.
void EditPorts(OnlineWrites& writes);
void EditPorts(int mode);  // 0 offline, 1 online
// Menu entry "Edit configuration in memory"; always 1.
int EditPortsOffline();
