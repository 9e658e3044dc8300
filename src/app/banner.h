// The main screen behind the menus, and the module model mark on it.
#pragma once
#include <cstdint>

void DrawBanner();
void DrawModelMark(int16_t model);
