// Moving one section of a port's configuration between the configuration and
// a module port's registers. Module ports, paths and poll queries are 1-based
// here, as on screen. Each returns 1 on success and 0 on failure, the link's
// error text already reported (a port, path or query number outside its range
// is reported as "<what> N out of range." and nothing moves).
#pragma once
#include <cstdint>

#include "config/module_config.h"
#include "link/link.h"
#include "transfer/register_map.h"
#include "transfer/transfer_reporter.h"

enum class CharSetKind { Accept, Terminate };

// Any row of the section table; the named operations below use it.
int SendSection(Link* link, TransferReporter& reporter, const PortConfig& port, int modulePort,
                const PortSection& section);
int FetchSection(Link* link, TransferReporter& reporter, PortConfig& port, int modulePort,
                 const PortSection& section);

int SendComms(Link* link, TransferReporter& reporter, const PortConfig& port, int modulePort);
int FetchComms(Link* link, TransferReporter& reporter, PortConfig& port, int modulePort);
int SendCharSet(Link* link, TransferReporter& reporter, const PortConfig& port, int modulePort,
                CharSetKind which);
int FetchCharSet(Link* link, TransferReporter& reporter, PortConfig& port, int modulePort,
                 CharSetKind which);
// Pattern, mask, then the four numbers, in three requests. A fetch stores the
// pattern and mask only once both arrived, the numbers only after their own
// read.
int SendPath(Link* link, TransferReporter& reporter, const PortConfig& port, int modulePort,
             int path);
int FetchPath(Link* link, TransferReporter& reporter, PortConfig& port, int modulePort, int path);
// With interval: the two interval registers first. Sending sets the query's
// terminator byte in the configuration to 0.
int SendPoll(Link* link, TransferReporter& reporter, PortConfig& port, int modulePort, int query,
             bool withInterval);
int FetchPoll(Link* link, TransferReporter& reporter, PortConfig& port, int modulePort, int query,
              bool withInterval);

int SendRackBase(Link* link, TransferReporter& reporter, const EditPlus& plus);
int FetchRackBase(Link* link, TransferReporter& reporter, EditPlus& plus);
int FetchPrintProgBaud(Link* link, TransferReporter& reporter, int16_t& printProgBaud);

// The PLUS values of memory port m (1-4) to or from module port p: terminate
// count, terminate timeout, Trigger/Inhibit, one register each in this order.
int SendTerminateCount(Link* link, TransferReporter& reporter, const EditPlus& plus, int memoryPort,
                       int modulePort);
int SendTerminateTimeout(Link* link, TransferReporter& reporter, const EditPlus& plus,
                         int memoryPort, int modulePort);
int SendTriggerInhibit(Link* link, TransferReporter& reporter, const EditPlus& plus, int memoryPort,
                       int modulePort);
int SendPlusValues(Link* link, TransferReporter& reporter, const EditPlus& plus, int memoryPort,
                   int modulePort);
int FetchPlusValues(Link* link, TransferReporter& reporter, EditPlus& plus, int memoryPort,
                    int modulePort);
