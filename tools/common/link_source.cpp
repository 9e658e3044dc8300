// Link options or a setup file, and opening what they name.
#include "common/link_source.h"

#include <limits.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>

#include "common/printable.h"
#include "common/request_limits.h"
#include "config/config_lists.h"
#include "config/disk_file.h"
#include "setup/device_root.h"
#include "setup/link_opening.h"
#include "setup/setup_choices.h"
#include "setup/setup_file.h"

namespace {

// A setup file read as the program reads it (whatever the case of its name),
// its faults told with the file's name and what was wrong with it.
bool ReadLinkSetupFile(const std::string& path, LinkSetup* setup, std::string* reason,
                       SetupAdapters* adapters = nullptr) {
    const SetupFileContents read = ReadSetupFile(path);
    switch (read.outcome) {
        case SetupFileRead::Read:
            *setup = read.setup;
            if (adapters) *adapters = read.adapters;
            return true;
        case SetupFileRead::Missing:
            *reason = path + ": Can't locate setup file. (" + std::strerror(read.error) + ")";
            return false;
        case SetupFileRead::Short:
            break;
    }
    if (read.size < kSetupFileSize) {
        *reason = path + ": Can't read setup file: " + std::to_string(read.size) +
                  " bytes where a setup file has " + std::to_string(kSetupFileSize);
        return false;
    }
    *reason = path + ": Can't read setup file: a baud rate index (" +
              std::to_string(read.setup.LinkBaud) + ", " + std::to_string(read.setup.TerminalBaud) +
              ") is past the list of " + std::to_string(kSetupBaudCount) + " rates";
    return false;
}

std::string ResolvedDevice(const std::string& root, const std::string& port) {
    const std::string path = DevicePathOf(root, port);
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? resolved : path;
}

// A baud rate outside the list has no index; it always differs from the
// module's.
LinkSetup SetupOfSettings(const LinkSettings& settings) {
    LinkSetup setup{};
    setup.LinkBaud = int16_t(SetupBaudIndexOf(settings.baud));
    return setup;
}

}  // namespace

std::vector<tools::OptionRow<LinkSource>> LinkSourceRows() {
    std::vector<tools::OptionRow<LinkSource>> rows;
    for (const auto& row : LinkOptionRows()) {
        auto apply = row.apply;
        rows.push_back({row.name, row.argument, row.help, [apply](LinkSource& s, const char* a) {
                            s.settingsGiven = true;
                            return apply(s.settings, a);
                        }});
    }
    rows.push_back({"--setup", "FILE.STP", "take the link from a setup file of the program",
                    [](LinkSource& s, const char* a) { return s.setupFile = a, true; }});
    return rows;
}

bool LinkSourceNamed(const LinkSource& source, std::string* error) {
    if (!source.setupFile.empty()) {
        if (source.settingsGiven) {
            *error = "give either --setup or link options, not both";
            return false;
        }
        return true;
    }
    if (!source.settingsGiven) {
        *error = "no link given: --type and --port (--host for tcp), or --setup FILE.STP";
        return false;
    }
    return LinkSettingsComplete(source.settings, error);
}

bool LinkSourceComplete(const LinkSource& source, std::string* error) {
    if (!LinkSourceNamed(source, error)) return false;
    LinkSetup setup;
    if (source.setupFile.empty()) return true;
    if (!ReadLinkSetupFile(source.setupFile, &setup, error)) return false;
    // A Modbus link's slave address is the first drop of the route.
    const LinkKindRow* kind = LinkKindOf(setup.ConnectionType);
    if (!kind || !kind->singleDrop || DropFits(*kind, setup.Route[0], error)) return true;
    *error = source.setupFile + ": " + *error;
    return false;
}

bool SetupOfLinkSource(const LinkSource& source, LinkSetup* setup, std::string* reason) {
    if (source.setupFile.empty()) return *setup = SetupOfSettings(source.settings), true;
    return ReadLinkSetupFile(source.setupFile, setup, reason);
}

LinkHandle OpenLinkSource(const LinkSource& source, std::string* reason, std::string* note) {
    if (note) note->clear();
    if (source.setupFile.empty()) return OpenToolLink(source.settings, reason);
    LinkSetup setup;
    SetupAdapters adapters;
    if (!ReadLinkSetupFile(source.setupFile, &setup, reason, &adapters)) return nullptr;
    std::string replaced;
    LinkHandle link =
        OpenLinkFromSetup(setup, reason, &replaced, adapters, source.settings.deviceRoot);
    if (!replaced.empty()) replaced = source.setupFile + ": " + replaced;
    if (note)
        *note = replaced;
    else if (!replaced.empty())
        std::fprintf(stderr, "%s\n", tools::Printable(replaced).c_str());
    return link;
}

std::string SerialPortKey(const LinkSource& source) {
    if (!source.setupFile.empty()) {
        LinkSetup setup;
        SetupAdapters adapters;
        std::string ignored;
        if (!ReadLinkSetupFile(source.setupFile, &setup, &ignored, &adapters)) return "";
        const LinkKindRow* kind = LinkKindOf(setup.ConnectionType);
        if (!kind || !kind->serial) return "";
        // The adapter by its device, as the link options name it.
        if (!adapters.link.empty())
            return ResolvedDevice(source.settings.deviceRoot, adapters.link);
        return "setup port " + std::to_string(setup.LinkPort);
    }
    if (!source.settings.kind->serial) return "";
    return ResolvedDevice(source.settings.deviceRoot, source.settings.port);
}
