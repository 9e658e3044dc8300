// The current link: at most one open at a time, owned by the shell and
// replaced by what connecting, the link forms and loading a setup return.
#pragma once
#include "link/link.h"

Link* CurrentLink();
void SetCurrentLink(Link* link);
void CloseCurrentLink();
// A serial link whose device went away (an adapter unplugged and plugged
// back) is opened again by the same settings on the same port; false, with
// the reason shown, when that fails (the port still missing).
bool ReopenIfLost();
// The link a function needs: the lost one opened again, or the link form
// when there is none. False when there is still none.
bool LinkReady();
