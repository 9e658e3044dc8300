// What became of one module of a backup, for its summary row, the exit
// status and the metrics.
#pragma once
#include <string>

enum class BackupResult {
    Interrupted,  // not ended when a signal ended the run
    Failed,
    Saved,      // without --history: written
    New,        // --history: no earlier file
    Unchanged,  // --history: equal to DIR/NAME.KOV, which is left alone
    Changed,    // --history: the earlier file kept in DIR/history/NAME
};

struct BackupOutcome {
    std::string module = "-";  // the module's own name block
    std::string model = "-";
    BackupResult result = BackupResult::Interrupted;
    std::string text = "interrupted";  // the RESULT column
    bool changed = false;              // differs from the file it replaced
    int changedFields = 0;             // in how many fields
    double seconds = 0;
    double fetchedAt = 0;  // seconds since the epoch, when fetched

    bool Fetched() const {
        return result != BackupResult::Interrupted && result != BackupResult::Failed;
    }
};
