#include "link/network_port_name.h"

namespace {

constexpr std::string_view kPrefix = "tcp:";

bool Fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return false;
}

bool PortNumber(std::string_view text, int* port) {
    if (text.empty() || text.size() > 5) return false;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    *port = value;
    return value >= 1 && value <= 65535;
}

// Splits "HOST:PORT" or "[V6]:PORT".
bool SplitHostAndPort(std::string_view rest, NetworkPortName* where, std::string* error) {
    std::string_view host, port;
    if (!rest.empty() && rest.front() == '[') {
        const size_t close = rest.find(']');
        if (close == std::string_view::npos || close + 1 >= rest.size() || rest[close + 1] != ':')
            return Fail(error, "an address in brackets is followed by \":PORT\"");
        host = rest.substr(1, close - 1);
        port = rest.substr(close + 2);
    } else {
        const size_t colon = rest.find(':');
        if (colon == std::string_view::npos) return Fail(error, "no \":PORT\" after the host");
        host = rest.substr(0, colon);
        port = rest.substr(colon + 1);
        if (port.find(':') != std::string_view::npos)
            return Fail(error, "an IPv6 address goes in brackets: tcp:[ADDRESS]:PORT");
    }
    if (host.empty()) return Fail(error, "no host before the port");
    if (!PortNumber(port, &where->port)) return Fail(error, "the TCP port is a number from 1 to 65535");
    where->host = std::string(host);
    return true;
}

}  // namespace

bool IsNetworkPortName(std::string_view name) { return name.substr(0, kPrefix.size()) == kPrefix; }

std::optional<NetworkPortName> ParseNetworkPortName(std::string_view name, std::string* error) {
    if (!IsNetworkPortName(name)) {
        Fail(error, "a network port is named tcp:HOST:PORT");
        return std::nullopt;
    }
    NetworkPortName where;
    if (!SplitHostAndPort(name.substr(kPrefix.size()), &where, error)) return std::nullopt;
    return where;
}

std::string NetworkPortNameOf(const NetworkPortName& where) {
    const bool v6 = where.host.find(':') != std::string::npos;
    return std::string(kPrefix) + (v6 ? "[" + where.host + "]" : where.host) + ":" +
           std::to_string(where.port);
}
