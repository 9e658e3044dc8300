// Moving one section of a port's configuration between the configuration and
// a module port's registers. Module ports, paths and poll queries are 1-based
// here, as on screen. Each returns 1 on success and 0 on failure, the link's
// error text already reported (a port, path or query number outside its range
// is reported as "<what> N out of range." and nothing moves).
#pragma once
#include <cstdint>

#include "config/module_config.h"
#include "transfer/module_session.h"
#include "transfer/register_map.h"

enum class CharSetKind { Accept, Terminate };

// Any row of the section table; the named operations below use it.
int SendSection(ModuleSession& session, const PortConfig& port, int modulePort,
                const PortSection& section);
int FetchSection(ModuleSession& session, PortConfig& port, int modulePort,
                 const PortSection& section);

int SendComms(ModuleSession& session, const PortConfig& port, int modulePort);
int FetchComms(ModuleSession& session, PortConfig& port, int modulePort);
int SendCharSet(ModuleSession& session, const PortConfig& port, int modulePort, CharSetKind which);
int FetchCharSet(ModuleSession& session, PortConfig& port, int modulePort, CharSetKind which);
// Pattern, mask, then the four numbers, in three requests. A fetch stores the
// pattern and mask only once both arrived, the numbers only after their own
// read.
int SendPath(ModuleSession& session, const PortConfig& port, int modulePort, int path);
int FetchPath(ModuleSession& session, PortConfig& port, int modulePort, int path);
// With interval: the two interval registers first. Sending sets the query's
// terminator byte in the configuration to 0.
int SendPoll(ModuleSession& session, PortConfig& port, int modulePort, int query,
             bool withInterval);
int FetchPoll(ModuleSession& session, PortConfig& port, int modulePort, int query,
              bool withInterval);

int SendRackBase(ModuleSession& session, const EditPlus& plus);
int FetchRackBase(ModuleSession& session, EditPlus& plus);
int FetchPrintProgBaud(ModuleSession& session, int16_t& printProgBaud);

// The PLUS values of memory port m (1-4) to or from module port p: terminate
// count, terminate timeout, Trigger/Inhibit, one register each in this order.
int SendTerminateCount(ModuleSession& session, const EditPlus& plus, int memoryPort,
                       int modulePort);
int SendTerminateTimeout(ModuleSession& session, const EditPlus& plus, int memoryPort,
                         int modulePort);
int SendTriggerInhibit(ModuleSession& session, const EditPlus& plus, int memoryPort,
                       int modulePort);
int SendPlusValues(ModuleSession& session, const EditPlus& plus, int memoryPort, int modulePort);
int FetchPlusValues(ModuleSession& session, EditPlus& plus, int memoryPort, int modulePort);
