// The exit statuses of the tools that reach a module (kova-config,
// kova-link): one meaning each, the same in every command, so that a script
// can tell a link that failed from a file that was wrong.
#pragma once

namespace tools {

constexpr int kExitOk = 0;  // done; diff: equal; backup --history: nothing changed
// The link or the module failed: no answer, a damaged reply, an error reply,
// a module that refused or could not do what was asked.
constexpr int kExitFailed = 1;
// A bad command line or bad input: a damaged or out-of-range file, a
// destination that exists without --force or cannot be written.
constexpr int kExitTrouble = 2;
// Changes found: diff's two sides differ; backup --history changed a file.
constexpr int kExitChanged = 3;
// send --verify: what the module holds after the send differs from the file.
constexpr int kExitVerifyFailed = 4;

}  // namespace tools
