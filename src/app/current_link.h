// The current link: at most one open at a time, owned by the shell and
// replaced by what connecting, the link forms and loading a setup return.
#pragma once
#include "link/link.h"

Link* CurrentLink();
void SetCurrentLink(Link* link);
void CloseCurrentLink();
