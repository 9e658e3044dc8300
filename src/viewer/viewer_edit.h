// Typing into the register viewer: the five editing columns, each a text
// field over its cell with its own characters and ending keys, and what the
// typed text means (a new first register, or the value to write).
#pragma once
#include <cstdint>

#include "viewer/viewer_position.h"

// Digits, letters and '-' start an edit of the selected column.
bool StartsViewerEdit(int key);

struct ViewerEdit {
    enum Result {
        Nothing,   // left with Esc, or nothing typed
        NewStart,  // the register column: register holds the typed number
        Write,     // a value column: value is to be written
        Refused,   // text that is no value of the column (reported already)
    };
    Result result = Nothing;
    int endKey = 0;  // the key that ended the field, to be handled next
    long reg = 0;
    uint16_t value = 0;
};

// Edits the selected column on the cursor row, showing the register's
// current value; firstKey is the key that started the edit.
ViewerEdit EditViewerCell(const ViewerPosition& p, uint16_t current, int firstKey);

// The typed text of a value column as a 16-bit value; false when it is
// empty or no value of the column.
bool ParseViewerValue(int column, const char* text, uint16_t& value);
// Bits read by their place in the grouped bit string ("0000 0000 0000 0000"):
// the separators stay separators whatever was typed over them.
uint16_t ParseBitField(const char* text);
