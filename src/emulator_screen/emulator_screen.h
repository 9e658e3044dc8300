// The fixed parts of the emulator screen and its status texts, shared by the
// start-up and the message loop.
#pragma once

void DrawEmulatorTitle();
void DrawPortPrompt(int online);
void DrawTextFields(const char* received, const char* accepted);
void ShowKeyboardHint();
void ShowReady();
void ClearReady();
// The status field on row 6: normal for the F2 hint, highlight otherwise.
void ShowStatus(const char* text, bool highlight);
