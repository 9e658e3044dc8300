// The module's pattern language, shared by the message processing (emulator and
// simulator) and the file picker: a leaf that includes nothing of the project.
#pragma once

// True when the whole text matches the whole pattern (both NUL-terminated).
bool PatternMatch(const char* pattern, const char* text);
