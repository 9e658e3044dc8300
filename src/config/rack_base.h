// The "@" register references inside poll queries, which move with the rack
// base like every other register number of the configuration.
#pragma once

// The references of one 65-byte query field. With distance 0 it only
// counts them. A reference whose number would leave 0-9999 is not changed
// and is counted in *unfit.
int AdjustQueryReferences(char* query, int distance, int* unfit = nullptr);
