// The port configuration editor: one port of the working configuration on
// one screen, a key per field, offline or (with the module's writes) online.
#pragma once
#include "config/config_documents.h"
#include "config/online_writes.h"

// Runs until Esc or, online, until a write to the module fails. port is the
// port shown (0-3), kept by the caller from one editing to the next.
void EditPorts(ConfigDocuments& documents, OnlineWrites& writes, int& port);
