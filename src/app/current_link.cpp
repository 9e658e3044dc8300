// The shell's one link.
#include "app/current_link.h"

#include "forms/connect_link.h"
#include "forms/link_forms.h"

void SetCurrentLink(ShellState& state, Link* link) {
    state.link = link;
    if (link) state.linkLostPending = false;
}

void CloseCurrentLink(ShellState& state) {
    if (state.link) CloseLink(state.link);
    state.link = nullptr;
}

bool ReopenIfLost(ShellState& state) {
    const bool lost = state.link ? LinkPortLost(state.link) : state.linkLostPending;
    if (!lost) return true;
    state.link = ConnectLink(state.settings, state.link);
    state.linkLostPending = state.link == nullptr;
    return state.link != nullptr;
}

ModuleSession& CurrentModule(ShellState& state) {
    state.module.link = state.link;
    return state.module;
}

bool LinkReady(ShellState& state) {
    if (state.link || state.linkLostPending) return ReopenIfLost(state);
    state.link = ConfigureLink(state.settings, nullptr);
    return state.link != nullptr;
}
