// The simulator's listening socket.
#pragma once
#include <string>

// A socket listening on "HOST:PORT", "[v6]:PORT" or "v6:PORT" (port 0: any
// free one), close-on-exec; -1 when the address does not resolve or bind.
int ListenOn(const std::string& where);
// The port a listening socket was bound to.
int BoundPort(int fd);
// ListenOn, then "listening" and the bound port on standard output, the
// lines tests and benchmarks wait for; -1, said on standard error, when it
// cannot listen.
int ListenAndAnnounce(const std::string& where);
