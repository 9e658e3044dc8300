// Command line of kova-link: link settings as options, then one command.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "link/link.h"

enum class LinkChoice { SyMax, NetToNet, Rtu, Ascii, Gateway, Tcp };
enum class Command { Read, Write, InputRead, InputWrite, Bench, Sections, Dump, Replay };

struct LinkOptions {
    std::string setupFile;  // --setup: the link a setup file names, with its settings
    LinkChoice type = LinkChoice::SyMax;
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

    Command command = Command::Read;
    int reg = 0;
    int count = 0;
    int repeats = 0;            // bench
    std::vector<int> sections;  // sections: register counts read one after another
    std::vector<uint16_t> values;
    std::string replayFile;  // replay: requests as "r|w FIRST COUNT" lines
};

// False with *exitCode set after printing help or an error.
bool ParseLinkOptions(int argc, char** argv, LinkOptions* options, int* exitCode);
