// The shell's one link.
#include "app/current_link.h"

namespace {
Link* gCurrentLink = nullptr;
}

Link* CurrentLink() { return gCurrentLink; }
void SetCurrentLink(Link* link) { gCurrentLink = link; }

void CloseCurrentLink() {
    if (gCurrentLink) CloseLink(gCurrentLink);
    gCurrentLink = nullptr;
}
