// One conversation with a module: the link it goes over, where its reports
// go, and the model the module turned out to be. The port and module
// transfers take one, so what one module answered never becomes another's
// (kova-config backs up several modules at once, each on a thread of its
// own).
#pragma once
#include <cstdint>

#include "config/module_config.h"
#include "link/link.h"
#include "transfer/transfer_reporter.h"

struct ModuleSession {
    Link* link;
    TransferReporter& reporter;
    // kModelStandard, kModelPlus, or kModelUnknown until a port transfer
    // has asked the module.
    int16_t model = kModelUnknown;
};
