// The command line: --help and --version, and every other argument typed into
// the menus as keystrokes.
#pragma once
#include <string>

// Replaces the escapes /D (DEL), /E (Esc) and /R (carriage return), either
// case. A "/" before any other character, or last, is typed as it stands.
// Arguments are cut at 131 characters.
std::string ArgumentKeystrokes(const std::string& argument);

extern const char kHelpText[];
extern const char kVersionText[];
