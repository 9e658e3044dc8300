// The settings in force while the program runs: the record, the startup
// setup file it is saved to, and the serial port list its port indexes (the
// link's and the terminal's) point into, which is the list the screens read
// last. The shell owns the one instance and hands it to the forms, the
// terminal and the viewer; the tools read lists of their own.
#pragma once
#include <string>

#include "setup/link_setup.h"
#include "setup/serial_port_list.h"
#include "setup/setup_file.h"

struct SetupInForce {
    LinkSetup CurrentSetup{};
    // Absolute: the file picker may change the current directory, and every
    // save must still reach the file read at start.
    std::string StartupSetupName;
    // Empty before the first read; it keeps the device root it is read under.
    SerialPortList ports;
    // The adapters the record's ports are, kept with it in the setup file.
    SetupAdapters adapters;
    // The reason the last connect failed stands on the status row: the next
    // link that opens clears it, and the shell drops it from its saved
    // main screen.
    bool connectReasonShown = false;
};

// Reads the list now, leaving the indexes as they are.
void ReadSetupPorts(SetupInForce& settings);
// Reads the list when it holds no port (not read yet, or none was found).
void ReadSetupPortsIfEmpty(SetupInForce& settings);
// Reads the list now and moves the settings' indexes with their names.
// Returns the link port's name when it was listed and is gone now, else "".
std::string RefreshSetupPorts(SetupInForce& settings);
