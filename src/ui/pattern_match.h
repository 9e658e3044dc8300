// The module's pattern language, shared by the emulator and the file picker.
#pragma once

// True when the whole text matches the whole pattern (both NUL-terminated).
bool PatternMatch(const char* pattern, const char* text);
