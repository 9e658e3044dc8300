// The shell's one link.
#include "app/current_link.h"

#include "forms/connect_link.h"
#include "forms/link_forms.h"

void SetCurrentLink(ShellState& state, LinkHandle link) {
    state.link = std::move(link);
    NoteCurrentLink(state);
}

void NoteCurrentLink(ShellState& state) {
    if (state.link) state.linkLostPending = false;
}

void CloseCurrentLink(ShellState& state) { state.link.reset(); }

bool ReopenIfLost(ShellState& state) {
    const bool lost = state.link ? LinkPortLost(state.link.get()) : state.linkLostPending;
    if (!lost) return true;
    state.linkLostPending = !ConnectLink(state.settings, state.link);
    return state.link != nullptr;
}

ModuleSession& CurrentModule(ShellState& state) {
    state.module.link = state.link.get();
    return state.module;
}

bool LinkReady(ShellState& state) {
    if (state.link || state.linkLostPending) return ReopenIfLost(state);
    return ConfigureLink(state.settings, state.link);
}
