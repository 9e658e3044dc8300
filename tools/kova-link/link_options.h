// Command line of kova-link: where the link comes from, then one command.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "common/link_source.h"
#include "value_formats.h"

enum class Command { Read, Write, InputRead, InputWrite, Bench, Sections, Dump, Replay, Poll };

struct LinkOptions {
    LinkSource source;  // link options or --setup, as kova-config takes them

    Command command = Command::Read;
    int readChunk = 125;  // dump: registers a read request of the link kind carries
    int reg = 0;
    int count = 0;
    int repeats = 0;            // bench
    std::vector<int> sections;  // sections: register counts read one after another
    std::vector<uint16_t> values;
    std::string replayFile;  // replay: requests as "r|w FIRST COUNT" lines
    int pollIntervalMs = 1000;
    int pollCount = 0;  // 0: until SIGINT or SIGTERM
    bool pollInput = false;
    ValueOptions format;  // read, dump, input-read, poll, write, input-write
    bool utc = false;       // poll: times in UTC rather than local time
    bool numbered = false;  // dump: "REGISTER VALUE" lines
};

// False with *exitCode set after printing help or an error. Registers,
// counts and drops the link kind could not carry in one request are usage
// errors, found before the link is opened.
bool ParseLinkOptions(int argc, char** argv, LinkOptions* options, int* exitCode);
