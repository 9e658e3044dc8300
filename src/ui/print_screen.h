// Print screen: the text screen as a line printer gets it, or as text for a
// file. For a printer each of the 25 rows is printed, a carriage return
// follows, then a line of underscores under the cells shown in reverse or
// alert colours, then the line end; a form feed ends the page. A file gets
// the rows alone, each without its trailing blanks and ended by a newline, so
// that it reads as the screen did. Runs as the handler of the F1 hot key.
#pragma once
#include <cstdint>
#include <string>

// The printer's page of an image of 25 rows (row stride in bytes).
std::string ScreenPrintOf(const uint8_t* chars, const uint8_t* attrs, int stride);
// The printer's page of the toolkit's screen image.
std::string ScreenPrintOfImage();
// The plain text of an image of 25 rows, and of the toolkit's screen image.
std::string ScreenTextOf(const uint8_t* chars, int stride);
std::string ScreenTextOfImage();
// The hot-key handler: asks for the output name and prints.
int PrintScreen(int key, int cursor);
