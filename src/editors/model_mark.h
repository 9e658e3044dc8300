// The model mark on the title row: which model the module last said it is.
#pragma once
#include <cstdint>

// "PLUS" in reverse and highlight at row 1, column 14 for a PLUS module, four
// reverse blanks for a standard one, nothing while the model is not known (2).
void ShowModelMark(int16_t model);
