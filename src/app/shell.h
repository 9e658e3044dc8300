// The application shell: start-up, the main menu loop and shut-down.
#pragma once
#include <string>
#include <vector>

#include "ui/console/console.h"

constexpr int kQuitCode = 600;
constexpr int kEndOfLoop = 999;

// Runs the whole program on a console; returns the exit status.
int RunShell(con::Console& console, const std::vector<std::string>& arguments);

// One main-menu choice: dispatches it and returns the next selection code.
int DispatchChoice(int code);
