// The shell's one link.
#include "app/current_link.h"

#include "forms/connect_link.h"
#include "forms/link_forms.h"

namespace {
Link* gCurrentLink = nullptr;
// A serial link was lost and could not be opened again yet: the functions
// that need a link try its settings again rather than asking for new ones.
bool gLostLinkPending = false;
}  // namespace

Link* CurrentLink() { return gCurrentLink; }
void SetCurrentLink(Link* link) {
    gCurrentLink = link;
    if (link) gLostLinkPending = false;
}

void CloseCurrentLink() {
    if (gCurrentLink) CloseLink(gCurrentLink);
    gCurrentLink = nullptr;
}

bool ReopenIfLost() {
    const bool lost = gCurrentLink ? LinkPortLost(gCurrentLink) : gLostLinkPending;
    if (!lost) return true;
    gCurrentLink = ConnectLink(gCurrentLink);
    gLostLinkPending = gCurrentLink == nullptr;
    return gCurrentLink != nullptr;
}

bool LinkReady() {
    if (gCurrentLink || gLostLinkPending) return ReopenIfLost();
    gCurrentLink = ConfigureLink(nullptr);
    return gCurrentLink != nullptr;
}
