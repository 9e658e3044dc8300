// The value lists of the configuration fields (texts as shown, with their
// trailing blanks) and the names of the control characters. The lists are
// null-terminated so that choice fields can cycle through them directly.
#pragma once
#include <cstdint>
#include <string>

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

// A module's registers or a damaged file can hold any value in any field, and
// a field is shown without changing what it holds (a send writes back what
// was read). A list index outside its list shows as the number followed by
// "?" ("99?"); a number, or such a text, that does not fit the field's width
// shows as a "?" in every column. A width of 0 means the text's own width.
std::string ListText(const char* const* texts, long index, int width = 0);
std::string FieldNumberText(long value, int width);
