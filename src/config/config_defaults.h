// The defaults of a fresh offline memory and the Print/Prog baud index that
// follows this computer's own link baud rate.
#pragma once
#include <cstdint>

struct ConfigDocuments;
struct ModuleConfig;

// Fills the offline memory with the defaults, sets the working copy's rack
// base to 1 and the Print/Prog baud rate to this computer's link rate
// (computerBaud; 9600, the rate of the first default link set, when it is 0
// or below or not in the list).
void SetDefaults(ConfigDocuments& documents, int32_t computerBaud);
// The defaults of one configuration (both EditPlus and all four ports).
void FillDefaults(ModuleConfig& config);
// Index into the Print/Prog baud list of a baud rate; 3 (9600) when the rate
// is not in the list.
int16_t PrintProgBaudIndexOf(int32_t baud);
