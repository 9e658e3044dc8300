// The screen toolkit: an image of the 25 x 132 screen (code page 437
// characters and display attributes) so that output touches only the cells
// that change, framed windows that put back exactly what they covered, and the
// keyboard as one-byte key codes with a type-ahead ring and hot keys.
// Public positions are 1-based (row 1-25, column 1-132) and clamped.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "ui/console/console.h"

constexpr int kImageRows = 25;
constexpr int kImageCols = 132;

// The toolkit's state (screen_state.h), owned by whoever runs screens: the
// shell's state, a test's fixture.
struct ScreenState;

// Takes the console over with the state, which is in force until ScreenDone
// (both must outlive it).
void ScreenInit(con::Console& console, ScreenState& state);
void ScreenDone();
con::Console& ActiveConsole();

void PutText(const char* text, int row, int col, int width, char fill, uint32_t flags);
void PutTextF(const char* format, int row, int col, int width, char fill, uint32_t flags, ...)
    __attribute__((format(printf, 1, 7)));
void ClearToEndOfLine(int row, int col);
void ClearToEndOfScreen(int row, int col);
void SaveScreen();
void RestoreScreen();
void RepaintScreen();
void MarkScreenDirty();

struct Window;
using WindowHandle = Window*;
WindowHandle OpenWindow(int top, int left, int bottom, int right, const char* title);
void CloseWindow(WindowHandle& handle);

int ReadKey(int wait);  // wait -1: until a key; 0: poll, 0 when none
int GetKey();
// GetKey for a text field: a hot key's handler gets the field's cursor position.
int GetFieldKey(int cursor);
// GetKey for a screen that also acts when the user pauses: the key, or 0 when
// none came within timeoutMs. Hot keys run as they arrive, inside the same
// time.
int GetKeyWithin(int timeoutMs);
// A key typed at the keyboard, past the type-ahead and the hot keys; 0 when
// none is waiting. For idle routines that look at the keyboard during a wait.
int ReadKeyboardKey();
void StuffKeys(const char* keys);
void StuffKeys(const std::string& keys);
// Puts a key back in front of the type-ahead, so that it is the next one read
// even when more keys are queued behind it. False when the ring is full.
bool UngetKey(uint8_t code);
// True when a key is queued in the type-ahead.
bool KeysQueued();
// Waits up to timeoutMs for a key: true at once when one is queued, else when
// one is typed in time, which is then queued (nothing typed is lost, and hot
// keys still apply when it is read).
bool WaitForKey(int timeoutMs);
// Queues every one of the keys however many there are (the command line's):
// those the type-ahead ring cannot hold yet wait in order behind it.
void StuffAllKeys(const std::string& keys);

// A handler is any callable, so a screen binds a key to its own state (a
// lambda capturing it) instead of a global. A result other than 0 is the key
// the reader gets in place of the hot key (so a hot key can end the field
// being typed in, without a key queued behind what was typed ahead); 0 reads
// on.
using HotKeyHandler = std::function<int(int code, int arg)>;
void AddHotKey(uint8_t code, HotKeyHandler handler);
void RemoveHotKey(uint8_t code);

void Beep();
void ShowCursor();
void HideCursor();
void SetCursor(int row, int col);  // 0-based logical cursor
void WriteRun(const char* text, int count);

bool InsertMode();
void SetInsertMode(bool on);

// Reading the image (0-based), for print screen and tests.
uint8_t ScreenChar(int row, int col);
uint8_t ScreenAttr(int row, int col);
