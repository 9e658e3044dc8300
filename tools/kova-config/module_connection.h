// One module over its own link, as the command line uses it: the link opened
// from a LinkSource, the module identified, its whole configuration fetched
// or sent, its setup written to EEPROM. Every failure goes to the reporter
// (the link's own text) before a call returns false.
#pragma once
#include <string>
#include <vector>

#include "common/link_source.h"
#include "config/config_diff.h"
#include "config_snapshot.h"
#include "link/link.h"
#include "tool_reporter.h"
#include "transfer/eeprom_write.h"
#include "transfer/module_transfer.h"

struct ModuleIdentity {
    std::string name;  // "KOVA Port 2"; "" when the module has no name block
    int16_t model = kModelUnknown;
};

class ModuleConnection {
  public:
    ModuleConnection(const LinkSource& source, ToolReporter& reporter);
    ~ModuleConnection();
    ModuleConnection(const ModuleConnection&) = delete;
    ModuleConnection& operator=(const ModuleConnection&) = delete;

    bool Open();
    // Reads the name block and tells PLUS from standard; a device that names
    // itself as something else than the module is refused.
    bool Identify(ModuleIdentity* identity);
    // All four ports with their polls, then the Print/Prog baud and the rack
    // base, as "A" fetches them.
    bool Fetch(ConfigSnapshot* snapshot);
    // The rack base, all four ports with their polls, then the Print/Prog
    // baud, as "A" sends them. The configuration must have been checked.
    // *reached follows the parts as they are written.
    bool Send(const ConfigSnapshot& snapshot, SendPart* reached);
    // Reads back everything a whole send writes and compares it with what
    // was sent; *differences: sent as before, read back as after. False when
    // the read-back failed.
    bool Verify(const ConfigSnapshot& sent, std::vector<ConfigDifference>* differences);
    // The outcome's message, if any, is reported.
    EepromOutcome WriteEeprom();

    // Progress steps of a whole fetch or send, for the percentage.
    static constexpr int kWholeModuleSteps = 4 * (3 + 4 + 16);

  private:
    LinkSource source_;
    ToolReporter& reporter_;
    LinkHandle link_;
    // Over link_ once it is open: what the module said it is, once a
    // transfer asked, stays there for the transfers after it.
    ModuleSession session_;
};
