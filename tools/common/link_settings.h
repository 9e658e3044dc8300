// The link settings the tools take on their command line (kova-link,
// kova-config and the lines of a kova-config backup list): one option table,
// one check, one way of opening the link they describe.
#pragma once
#include <string>

#include "common/option_table.h"
#include "link/link.h"
#include "setup/link_kinds.h"

struct LinkSettings {
    const LinkKindRow* kind = LinkKindOf(LinkTypeSyMax);  // by --type
    bool typeGiven = false;
    std::string port;
    std::string host;  // Modbus TCP
    int tcpPort = 502;
    int baud = 9600;
    int parity = 1;
    int dataBits = 8;
    int stopBits = 1;
    int drop = 1;
    LinkRoute route;
    bool crc = false;
    bool priority = false;
    int timeout = kDefaultReplyTimeout;
    // Where bare port names and /dev paths are looked for ("" the real
    // system): the tools' testing option --device-root.
    std::string deviceRoot;
};

tools::OptionTable<LinkSettings> LinkOptionRows();

// True when the settings name a link: a type, and a port (a host for tcp).
// Otherwise *error says what is missing.
bool LinkSettingsComplete(const LinkSettings& settings, std::string* error);

// Opens the link and applies the line settings; null with *reason on failure.
LinkHandle OpenToolLink(const LinkSettings& settings, std::string* reason);
