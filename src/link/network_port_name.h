// A serial line reached over TCP through a device server is named as a port
// is: "tcp:HOST:PORT", HOST a name, an IPv4 address or an IPv6 address in
// brackets ("tcp:[fe80::1]:4001").
#pragma once
#include <optional>
#include <string>
#include <string_view>

struct NetworkPortName {
    std::string host;  // without brackets
    int port = 0;      // 1-65535
};

// Whether the name is meant as a network port (it starts with "tcp:"),
// well formed or not.
bool IsNetworkPortName(std::string_view name);
// The host and port of a network port's name; nothing, with *error saying
// what is wrong in a user's words, when it is not one.
std::optional<NetworkPortName> ParseNetworkPortName(std::string_view name, std::string* error);
// The name of a host and port, brackets round an IPv6 address.
std::string NetworkPortNameOf(const NetworkPortName& where);
