// Comparing two configurations field by field, each field named as the
// print-out names it ("Port 2 Path 3 Pattern", "Rack base address") and its
// value shown as the print-out shows it, so a difference reads like the two
// print-outs side by side.
#pragma once
#include <string>
#include <vector>

#include "config/config_file_image.h"

struct ConfigDifference {
    std::string field;
    std::string before, after;
};

// Every field that differs, in print-out order. The PLUS values (terminate
// count and timeout, Trigger/Inhibit) are compared only when plus is set, as
// the print-out shows them only then. Texts are compared up to their
// terminator, as the module keeps them (a text without one differs from its
// first 64 characters); the reserved words are not compared. Values are
// compared as they are held, a value outside its list or range too.
std::vector<ConfigDifference> CompareConfigs(const ConfigFileContents& before,
                                             const ConfigFileContents& after, bool plus);

// "FIELD: BEFORE -> AFTER"
std::string DifferenceLine(const ConfigDifference& difference);
