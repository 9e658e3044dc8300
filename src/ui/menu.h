// The menu engine: a bar across one row and pull-downs under it, returning a
// choice code of title x 100 + entry (0 when the user left the menu).
#pragma once

// The table is a flat list: each group is a title, its entries and a null
// pointer; an empty group (a null where a title would be) ends it.
int RunMenu(const char* const* table, int barRow, int initialCode);
int MenuBarSelect(const char* const* titles, int count, int row, int initial,
                  const int* columns);
int PullDownSelect(const char* const* entries, int count, int row, int column, int initial,
                   bool sideStep);
