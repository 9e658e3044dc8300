// The menu engine: a bar across one row and pull-downs under it, returning a
// choice code of title x 100 + entry (0 when the user left the menu).
#pragma once

// The table is a flat list: each group is a title, its entries and a null
// pointer; an empty group (a null where a title would be) ends it.
int RunMenu(const char* const* table, int barRow, int initialCode);

// Returns 0, a title number (1-based), or minus the title number to ask for
// its pull-down to be opened.
int MenuBarSelect(const char* const* titles, int count, int row, int initial);
// Returns 0 or an entry number (1-based).
int PullDownSelect(const char* const* entries, int row, int column, int initial, bool sideStep);
