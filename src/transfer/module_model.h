// Telling a PLUS module from a standard one by its writable PLUS test register.
#pragma once
#include "transfer/module_session.h"

// Sets the session's model (PLUS or standard) and tells its reporter. Returns 0
// only when the first read of the test register fails (reported); a failed
// write or read-back of the test means a standard module and is not reported.
int DetectModuleModel(ModuleSession& session);
