// The summary table a backup prints on standard output: one row a module
// (name, module name, model, result, seconds) and a closing count.
#pragma once
#include <vector>

#include "backup_list.h"
#include "backup_outcome.h"

void PrintBackupSummary(const std::vector<BackupEntry>& entries,
                        const std::vector<BackupOutcome>& outcomes, bool history);
