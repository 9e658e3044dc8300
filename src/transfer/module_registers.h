// Register reads and writes of the transfers: a failure is reported with the
// link's error text before the call returns 0.
//
// A request that the line may have spoiled (no reply in time, or a reply that
// failed its checks) is sent once more before it counts as failed: a whole
// module is a few hundred requests, and one noisy moment on a plant line
// must not throw the rest away. Writing the same values twice is harmless;
// what is not (the Print/Prog baud change, the EEPROM command) goes once.
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
// A write that must not be repeated: the module may act on it at once.
int WriteModuleRegistersOnce(Link* link, TransferReporter& reporter, int reg, int count,
                             const uint16_t* values);
// Without a report, and retried like the rest: the identification read and
// the EEPROM status read as well (a lost reply to the first request must not
// end a transfer that one more request would have saved). Once is for the
// writes the module may act on at once.
enum class Tries { Once, RetryOnce };
int ReadRegistersQuietly(Link* link, int reg, int count, uint16_t* values,
                         Tries tries = Tries::RetryOnce);
int WriteRegistersQuietly(Link* link, int reg, int count, const uint16_t* values,
                          Tries tries = Tries::RetryOnce);

// Whether a failure is one a second try may cure: no reply, a damaged reply
// or one that answers something else; not an answer of the module (an
// exception or error code), an abort by the user, a lost port or connection
// or a refusal of the link itself.
bool FailureWorthRetrying(LinkFailure failure);
