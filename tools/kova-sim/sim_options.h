// Command-line options of the simulated module.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "port_feeds.h"
#include "register_image.h"

enum class SimProtocol { SyMax, Rtu, Ascii, Gateway, Tcp };

struct SimOptions {
    SimProtocol protocol = SimProtocol::SyMax;
    bool pty = false;
    std::string tty;
    std::string listen;  // Modbus TCP: HOST:PORT
    int drop = 1;
    bool crc = false;
    SimModel model = SimModel::Plus;
    bool eeprom = true;
    unsigned baud = 9600;
    int parity = 1;  // none 0, even 1, odd 2 (the link's parity codes)
    int dataBits = 8;
    int stopBits = 1;
    bool pace = false;
    int cts = 0;
    std::string configFile;  // start as a full send of this .KOV file would leave the module
    std::vector<std::pair<int, uint16_t>> presets;  // --set REG=VALUE, applied last
    uint16_t eepromStatus = 0;                      // what 8174 reads after the EEPROM command
    std::string logFile;                            // each register request, one line
    bool countBytes = false;        // serial: print the bytes received and sent at the end
    std::vector<FeedOption> feeds;  // --feed PORT=FILE[@MS]: devices on the module's ports
    // Faults
    int dropEvery = 0;     // no reply to every Nth request
    int dropAfter = 0;     // no reply to the requests after the Nth (0: off) ...
    int dropFor = 0;       // ... to this many of them (0: to all)
    int corruptFirst = 0;  // the first N replies carry a wrong check
    int nakFirst = 0;      // Sy/Max: refuse the first N frames
    int errorCode = -1;    // answer every request with this Sy/Max error or Modbus exception
    int delayMs = 0;       // before each reply
    int delayEvery = 0;    // only before every Nth reply
    int chatterMs = 0;     // Gateway, TCP: noise that answers nothing, this often
    int trickleMs = 0;     // replies go out a byte at a time, this far apart
    int alterWritten = 0;  // a write covering this register leaves it one more (0: off)
};

// Parses argv; on error or --help prints to the given stream and returns false
// with *exitCode set.
bool ParseSimOptions(int argc, char** argv, SimOptions* options, int* exitCode);
