// The application shell: start-up, the main menu loop and shut-down.
#pragma once
#include <string>
#include <vector>

#include "app/shell_state.h"
#include "ui/console/console.h"

constexpr int kQuitCode = 600;
constexpr int kEndOfLoop = 999;

// Runs the whole program on a console; returns the exit status. The state
// is the program's from start to end (a test gives its own to look at).
int RunShell(con::Console& console, const std::vector<std::string>& arguments);
int RunShell(con::Console& console, const std::vector<std::string>& arguments, ShellState& state);

// One main-menu choice on the program's state: dispatches it and returns the
// next selection code.
int DispatchChoice(ShellState& state, int code);
