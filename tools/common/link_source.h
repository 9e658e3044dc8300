// Where a tool's link comes from: the link options of the command line, or a
// setup file (.STP) the full-screen program wrote. kova-link, kova-config and
// the lines of a kova-config backup list take the same options.
#pragma once
#include <string>
#include <vector>

#include "common/link_settings.h"
#include "setup/link_setup.h"

struct LinkSource {
    LinkSettings settings;
    bool settingsGiven = false;  // any link option at all
    std::string setupFile;
};

// The link options and --setup, for any record that holds a LinkSource.
std::vector<tools::OptionRow<LinkSource>> LinkSourceRows();

// True when the command line names one link: a setup file, or link options
// that are complete, never both; otherwise *error says what is wrong.
bool LinkSourceNamed(const LinkSource& source, std::string* error);

// LinkSourceNamed, and a named setup file must also be readable and whole.
bool LinkSourceComplete(const LinkSource& source, std::string* error);

// Opens the link; null with *reason (naming the setup file where it is at
// fault) on failure. A setting of the setup file replaced on the way goes to
// *note when given ("" when none), else to standard error.
LinkHandle OpenLinkSource(const LinkSource& source, std::string* reason,
                          std::string* note = nullptr);

// The serial port the link uses, as one name for all the ways of writing
// it; "" for Modbus TCP. Modules on one port (a multi-drop line) must take
// turns on it.
std::string SerialPortKey(const LinkSource& source);

// This computer's side as a setup record: the setup file's, or one made from
// the link options (the baud rate is what the Print/Prog baud change compares
// the module's new rate with). False with *reason when the file is at fault.
bool SetupOfLinkSource(const LinkSource& source, LinkSetup* setup, std::string* reason);
