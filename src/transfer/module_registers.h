// Register reads and writes of the transfers: a failure is reported with the
// link's error text before the call returns 0.
#pragma once
#include <cstdint>

#include "link/link.h"
#include "transfer/transfer_reporter.h"

// Non-zero when all count registers were read. The values are zero-filled
// first, and a reply that carries fewer registers than asked counts as a
// failure, so nothing is ever stored from registers that did not arrive.
int ReadModuleRegisters(Link* link, TransferReporter& reporter, int reg, int count,
                        uint16_t* values);
int WriteModuleRegisters(Link* link, TransferReporter& reporter, int reg, int count,
                         const uint16_t* values);
// The same without a report (the PLUS test's write and read-back).
int ReadRegistersQuietly(Link* link, int reg, int count, uint16_t* values);
