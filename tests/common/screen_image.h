// Reading the toolkit's screen image back as text, with rows and columns
// counted from 1 as on the screen.
#pragma once
#include <string>

#include "ui/screen.h"

// The characters of a row from col on, width of them.
inline std::string ImageText(int row, int col = 1, int width = 80) {
    std::string s;
    for (int c = col; c < col + width; ++c) s += char(ScreenChar(row - 1, c - 1));
    return s;
}

// The whole image, rows joined by newlines.
inline std::string ImageAll(int rows = 25) {
    std::string s;
    for (int r = 1; r <= rows; ++r) s += ImageText(r) + "\n";
    return s;
}
