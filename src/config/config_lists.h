// The value lists of the configuration fields (texts as shown, with their
// trailing blanks) and the names of the control characters. The lists are
// null-terminated so that choice fields can cycle through them directly.
#pragma once
#include <cstdint>

extern const char* const kPortBaudTexts[];  // 16 entries
extern const int32_t kPortBaudValues[16];
extern const char* const kDataBitsTexts[];
extern const char* const kParityTexts[];
extern const char* const kStopBitsTexts[];
extern const char* const kNoYesTexts[];
extern const char* const kEditingModeTexts[];  // 8 entries
extern const char* const kPrintProgBaudTexts[];
extern const int32_t kPrintProgBaudValues[4];

// "NUL" ... "US " for codes 0-31, "DEL" for 127; nullptr for any other code.
const char* ControlCharName(unsigned code);
