// The idle routine of a link's reply wait: a spinner in the top right corner,
// keys typed meanwhile kept for later, Esc ending the wait.
#pragma once
#include <chrono>

// The spinner turns one step at most this often, however often the wait
// calls it: a viewer polling ten times a second then sends the terminal only
// a few cells a second, and a slow link still shows that it is waited on.
constexpr std::chrono::milliseconds kSpinnerStepInterval{250};

// 2 after Esc, an arrow key, PgUp or PgDn during a wait; 1 after any other
// key. Read and cleared by the screens that poll the link in a loop.
extern int KeyInterrupt;

// 0 to abort the wait (Esc), 1 to go on waiting.
int BusySpinner(void* argument);
