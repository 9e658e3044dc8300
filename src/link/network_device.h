// The TCP side of a serial line behind a device server: a socket that the
// reader thread reads and writes as it would a serial device.
#pragma once
#include <string>

#include "link/serial_device.h"

// Connects to the device server that "tcp:HOST:PORT" names. False with
// *reason in the words a user acts on and *error the errno behind it.
bool ConnectNetworkDevice(const std::string& name, SerialDevice* device, std::string* reason,
                          int* error);
void CloseNetworkDevice(SerialDevice* device);
