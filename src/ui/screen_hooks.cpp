// The hooks the shell handed down.
#include "ui/screen_hooks.h"

#include <utility>

namespace {

ScreenHooks& Hooks() {
    static ScreenHooks hooks;
    return hooks;
}

}  // namespace

void SetScreenHooks(ScreenHooks hooks) { Hooks() = std::move(hooks); }

const ScreenHooks& ScreenHooksInForce() { return Hooks(); }
