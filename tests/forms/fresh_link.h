// Connecting and the link form from no link, as the shell does at its
// start: the handle they fill, empty when no link opened.
#pragma once
#include "forms/connect_link.h"
#include "forms/link_forms.h"

inline LinkHandle ConnectFresh(SetupInForce& settings) {
    LinkHandle link;
    ConnectLink(settings, link);
    return link;
}

inline LinkHandle ConfigureFresh(SetupInForce& settings) {
    LinkHandle link;
    ConfigureLink(settings, link);
    return link;
}
