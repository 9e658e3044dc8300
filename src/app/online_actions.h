// The menu entries that reach the module, on the current link.
#pragma once

// The editors' online writes go to the current link from now on.
void InstallModuleWrites();

int EditPortsOnline();
int SendMemoryToModule();
int FetchMemoryFromModule();
int EmulateOnline();
int WriteSetupToModuleEeprom();
