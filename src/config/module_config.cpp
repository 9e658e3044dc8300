#include "config/module_config.h"

ModuleConfig OfflineMemory{};
ModuleConfig WorkingConfig{};
int16_t PrintProgBaud = 3;
thread_local int16_t ModuleModel = 2;
int16_t ConfigReserved = 0;
bool OfflineDirty = false;
