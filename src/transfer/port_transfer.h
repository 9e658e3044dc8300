// A whole port between a memory port of a configuration and a module port,
// with the progress text of each step: the PLUS test first, then comms,
// accept and terminate sets, the four paths, optionally the sixteen poll
// queries with the interval, and on a PLUS module the three PLUS values.
// Ports 1-4. Returns 1 on success; 0 at the first failure, which has been
// reported. What was moved before a failure stays moved.
#pragma once
#include "config/module_config.h"
#include "transfer/module_session.h"

int SendPort(ModuleSession& session, ModuleConfig& config, int memoryPort, int modulePort,
             bool withPolls);
int FetchPort(ModuleSession& session, ModuleConfig& config, int modulePort, int memoryPort,
              bool withPolls);
