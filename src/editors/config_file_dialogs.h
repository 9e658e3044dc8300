// The configuration file dialogs: load the working configuration from a .KOV
// file, save it, copy one port's configuration onto another, delete a file.
#pragma once
#include "config/config_documents.h"

// 1 when a file was read into the working configuration.
int ReadConfigFile(ConfigDocuments& documents);
// 1 when the working configuration reached the disk.
int WriteConfigFile(ConfigDocuments& documents);
int CopyPortConfig(ModuleConfig& config);
int DeleteConfigFile(const char* extension, const char* title);
