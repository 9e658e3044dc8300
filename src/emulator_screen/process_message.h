// Showing what the module does with a completed message on the emulator
// screen: the capitalize line, each path's result, the masked text, the path
// parameters, the register grid and the signal register.
#pragma once

// port is 1-4; text is the non-empty accepted text. Works on the working
// configuration and the emulator register image.
void ProcessMessage(int port, const char* text);
