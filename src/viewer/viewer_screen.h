// What the register viewer draws: its frame, one register row in four
// radixes, the rows of a failed read, the status column and the help window.
// Everything goes through PutText, so a value that did not change since the
// last pass costs nothing on the terminal.
#pragma once
#include <cstdint>

#include "viewer/viewer_position.h"

void DrawViewerFrame();
// One register row; isInput: a 3x register.
void DrawRegisterRow(const ViewerPosition& p, int row, bool isInput, uint16_t value);
// Every row's register with "ERROR" across its value columns.
void DrawErrorRows(const ViewerPosition& p, bool isInput);
// The status column of one row: a status register's value, or text ("----"
// or blanks) where there is none.
void DrawStatusValue(int row, uint16_t status);
void DrawStatusText(const ViewerPosition& p, int row, const char* text);
// Row 25 from column 40: a link's error text, or blanks.
void DrawViewerStatusLine(const char* text);

// The help window; any key closes it.
void ShowViewerHelp();
