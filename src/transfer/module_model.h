// Telling a PLUS module from a standard one by its writable PLUS test register.
#pragma once
#include "link/link.h"
#include "transfer/transfer_reporter.h"

// Sets ModuleModel (1 PLUS, 0 standard) and tells the reporter. Returns 0
// only when the first read of the test register fails (reported); a failed
// write or read-back of the test means a standard module and is not reported.
int DetectModuleModel(Link* link, TransferReporter& reporter);
