// The current link: at most one open at a time, owned by the shell's state
// and replaced in place by connecting, the link forms and loading a setup.
#pragma once
#include "app/shell_state.h"
#include "link/link.h"

void SetCurrentLink(ShellState& state, LinkHandle link);
// After a function that may have replaced the current link in place: a link
// in force is no longer one waiting to be found again.
void NoteCurrentLink(ShellState& state);
void CloseCurrentLink(ShellState& state);
// A serial link whose device went away (an adapter unplugged and plugged
// back) is opened again by the same settings on the same port; false, with
// the reason shown, when that fails (the port still missing).
bool ReopenIfLost(ShellState& state);
// The link a function needs: the lost one opened again, or the link form
// when there is none. False when there is still none.
bool LinkReady(ShellState& state);
// The shell's module session, over the link in force (connecting, the forms,
// the terminal and the viewer may have replaced it since the last transfer).
ModuleSession& CurrentModule(ShellState& state);
