// The setup file on disk: the settings record read from and written to a
// named .STP file. Reading gives the record back with how the read went; the
// caller decides what a missing or damaged file means.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "config/disk_file.h"
#include "setup/link_setup.h"

// A relative name made absolute against the current directory: the file
// picker may change the current directory later, and every save must still
// reach the file read at start.
std::string AbsoluteSetupName(const std::string& name);

// The adapters the link and the terminal were set up with, by their stable
// names ("/dev/serial/by-id/usb-FTDI_...-if00-port0"); "" for a port chosen
// without one (an on-board ttyS0), which the record's index alone names.
// Kept after the 150 bytes of the record, which every reader of the setup
// file's layout ignores, as text lines:
//   KOVASW-ADAPTERS
//   link=/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0
//   terminal=/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0
struct SetupAdapters {
    std::string link, terminal;
    bool operator==(const SetupAdapters&) const = default;
};

// The lines after the record; none when both names are empty.
std::vector<uint8_t> EncodeSetupAdapters(const SetupAdapters& adapters);
// The names of the lines after the record. Anything else there (no first
// line, a name with control characters or too long for a device path) reads
// as no adapter: the record's indexes then name the ports, as they always did.
SetupAdapters DecodeSetupAdapters(const uint8_t* bytes, size_t size);

enum class SetupFileRead { Read, Short, Missing };

struct SetupFileContents {
    SetupFileRead outcome = SetupFileRead::Missing;
    // When Read; when Short with the whole record there, that record (a baud
    // rate index past the list), so that a report can name the index.
    LinkSetup setup;
    SetupAdapters adapters;  // when Read
    int error = 0;           // errno of the failed open or read, when Missing
    size_t size = 0;         // the bytes read, at most the record's
};

// The file whatever the case of its name. A file that decodes but names a
// baud rate outside the list counts as short.
SetupFileContents ReadSetupFile(const std::string& path);
// Replaces the file (whatever the case of its name) with setup's image and
// the adapters' lines.
SaveResult SaveSetupFile(const std::string& path, const LinkSetup& setup,
                         const SetupAdapters& adapters = {});
