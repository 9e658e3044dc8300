// Print screen: the text screen as a line printer gets it. Each of the 25
// rows is printed, a carriage return follows, then a line of underscores
// under the cells shown in reverse or alert colours, then the line end; a form
// feed ends the page. Runs as the handler of the F1 hot key.
#pragma once
#include <cstdint>
#include <string>

// The print-out of an image of 25 rows (row stride in bytes).
std::string ScreenPrintOf(const uint8_t* chars, const uint8_t* attrs, int stride);
// The print-out of the toolkit's screen image.
std::string ScreenPrintOfImage();
// The hot-key handler: asks for the output name and prints.
int PrintScreen(int key, int cursor);
