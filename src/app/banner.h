#pragma once
// The main screen behind the menus, and the module model mark on it.
void DrawBanner();
void DrawModelMark();
