// A file or directory name as the screen can hold it: Linux names are UTF-8
// bytes, the screen holds the PC code page.
#pragma once
#include <string>

// Each character of the name as its code page byte; characters the code
// page lacks, control characters and bytes that are no UTF-8 as "?". For
// showing only: the name itself stays what opens the file.
std::string NameOnScreen(const std::string& name);
