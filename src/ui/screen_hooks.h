// What the toolkit and the screens read from the shell above them, handed
// down once at start-up as one record: whether errors are trapped in the
// error window, and the idle routine every newly connected link gets.
#pragma once
#include <functional>

struct ScreenHooks {
    // 0 YES, 1 NO. Until the shell hands its hooks down, errors are trapped.
    std::function<int()> trapErrors = [] { return 0; };
    // A link's idle callback (the shell's spinner); null leaves new links
    // with the link layer's own.
    int (*connectIdle)(void* argument) = nullptr;
};

void SetScreenHooks(ScreenHooks hooks);
const ScreenHooks& ScreenHooksInForce();
