// The port configuration editor's screen: every field of one port behind a
// one-key label, and the values drawn at their fixed positions. The
// sub-editors draw over its lower part and call this to put it back.
#pragma once
#include <cstdint>

#include "config/config_documents.h"
#include "config/online_writes.h"

// Screen row of a path's register line (path 0-3); its pattern is two rows
// above and its mask one row above.
constexpr int PathRow(int path) { return 10 + 4 * path; }

// Clears from row 2 and draws the title, labels and key letters: the
// PLUS-only ones unless the writes' module is known to be standard.
void DrawPortEditorScreen(const OnlineWrites& writes);
// Blanks the transfer status on the title row; the mode stays shown.
void ClearEditorStatus(EditMode mode);
// Draws every value of the port (0-3) of the working configuration; the
// PLUS values unless the model is standard.
void ShowPortValues(const ConfigDocuments& documents, int port, int16_t model,
                    bool portHighlighted = false);
// The port number alone, in highlight, every value blank: while the port is
// being fetched.
void BlankPortValues(int port);
// A port whose values are not the module's (its fetch or a write failed):
// blank as above, and on row 25 the note saying why keys are refused and how
// to read it again.
void ShowUnreadPort(int port, const char* note);
// Row 25's help, back after ShowUnreadPort.
void DrawEscHelp();
// The text of an unsigned field as the screen shows it.
void PutUnsigned(int16_t value, int row, int col, int width, uint32_t flags = 0);
