// The hooks the shell handed down, kept in the toolkit's state.
#include "ui/screen_hooks.h"

#include <utility>

#include "ui/screen_state.h"

void SetScreenHooks(ScreenHooks hooks) { Screen().hooks = std::move(hooks); }

const ScreenHooks& ScreenHooksInForce() { return Screen().hooks; }
