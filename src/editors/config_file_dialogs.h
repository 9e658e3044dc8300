// The configuration file dialogs: load the working configuration from a .KOV
// file, save it, copy one port's configuration onto another, delete a file.
#pragma once

int ReadConfigFile();   // 1 when a file was read into the working configuration
int WriteConfigFile();  // 1 when the configuration reached the disk
int CopyPortConfig();
int DeleteConfigFile(const char* extension, const char* title);
