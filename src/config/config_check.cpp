// The validation of a load is run on a copy: what it reports, and any field
// it would change, is a value the module would not get as the file holds it.
#include "config/config_check.h"

#include <cstdio>
#include <cstring>

#include "config/config_ranges.h"
#include "config/validate.h"

namespace {

using Problems = std::vector<std::string>;

// Printable ASCII as it is, every other byte as \xNN: a field's value shown
// in a message without reaching the terminal raw.
std::string Shown(const char* text, size_t size) {
    std::string out = "\"";
    for (size_t i = 0; i < size && text[i]; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c >= 0x7F || c == '"' || c == '\\') {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

// A 65-byte text field: at most 64 characters, and nothing after its end in
// the last byte (the module gets a zero there).
void CheckText(const char (&field)[65], const std::string& where, Problems& out) {
    if (field[64] == '\0') return;
    const size_t length = strnlen(field, sizeof field);
    char text[48];
    if (length == sizeof field)
        std::snprintf(text, sizeof text, " (65 characters) has no terminating zero");
    else
        std::snprintf(text, sizeof text, " holds 0x%02X after its end, in byte 65",
                      static_cast<unsigned char>(field[64]));
    out.push_back(where + " " + Shown(field, length) + text);
}

void CheckTexts(const PortConfig& port, int portNumber, Problems& out) {
    const std::string at = "Port " + std::to_string(portNumber) + ", ";
    for (int k = 0; k < 4; ++k) {
        const std::string path = at + "Path " + std::to_string(k + 1) + ": ";
        CheckText(port.Paths[k].Pattern, path + "Pattern", out);
        CheckText(port.Paths[k].Mask, path + "Mask", out);
    }
    for (int q = 0; q < 16; ++q)
        CheckText(port.PollQueries[q], at + "Query " + std::to_string(q + 1) + ":", out);
}

// Path 4 has no Continue: the module ignores the value, so a file that sets
// it says something the module will not do.
void CheckLastContinue(const PortConfig& port, int portNumber, Problems& out) {
    const int value = port.Paths[3].Continue;
    if (value == 0) return;
    out.push_back("Port " + std::to_string(portNumber) + ", Path 4: Continue " +
                  std::to_string(value) + " on the last path, which has none");
}

// Adds the reports of a load's validation of one port; true when it would
// change the port or its PLUS values.
bool CheckValidation(const ModuleConfig& config, int p, Problems& out) {
    ModuleConfig copy = config;
    const std::string portText = "Port " + std::to_string(p + 1) + ": ";
    // The Trigger/Inhibit reports name no port, and the one above the
    // window not its value: a file's problem names both.
    const std::string above = "Trigger/Inhibit > ";
    const std::string value = std::to_string(config.Plus.TriggerInhibit[p]);
    ValidatePortsOf(copy, p, p, [&](const std::string& message) {
        if (message.rfind("Port ", 0) == 0)
            out.push_back(message);
        else if (message.rfind(above, 0) == 0)
            out.push_back(portText + "Trigger/Inhibit (" + value + ") > " +
                          message.substr(above.size()));
        else
            out.push_back(portText + message);
    });
    return std::memcmp(&copy.Ports[p], &config.Ports[p], sizeof copy.Ports[p]) != 0 ||
           copy.Plus.TriggerInhibit[p] != config.Plus.TriggerInhibit[p];
}

bool OfPort(const std::string& problem, int portNumber) {
    const std::string port = "Port " + std::to_string(portNumber);
    return problem.rfind(port + ":", 0) == 0 || problem.rfind(port + ",", 0) == 0;
}

struct Block {
    int port, path;
    int first, last;
};

}  // namespace

std::vector<std::string> ConfigProblems(const ConfigFileContents& contents) {
    const ModuleConfig config = ModuleConfigOf(contents);
    const Problems ranges = EveryValueOutOfRange(config, contents.printProgBaud);
    Problems out;
    for (const std::string& r : ranges)
        if (r.rfind("Port ", 0) != 0) out.push_back(r);
    for (int p = 0; p < 4; ++p) {
        // The range faults name the values a load repairs silently (data
        // bits, counts); the validation's own reports follow them.
        Problems port;
        for (const std::string& r : ranges)
            if (OfPort(r, p + 1)) port.push_back(r);
        CheckTexts(config.Ports[p], p + 1, port);
        CheckLastContinue(config.Ports[p], p + 1, port);
        const bool changed = CheckValidation(config, p, port);
        if (changed && port.empty())
            port.push_back("Port " + std::to_string(p + 1) +
                           ": a load would change this port's values");
        out.insert(out.end(), port.begin(), port.end());
    }
    return out;
}

std::string FileSizeProblem(ConfigLayout layout, size_t size) {
    const size_t expected = LayoutSize(layout);
    if (size == expected) return "";
    char text[96];
    if (size > kConfigFileSize)
        std::snprintf(text, sizeof text, "more than %zu bytes; the %s layout holds %zu",
                      kConfigFileSize, LayoutName(layout), expected);
    else
        std::snprintf(text, sizeof text, "%zu bytes; the %s layout holds %zu", size,
                      LayoutName(layout), expected);
    return text;
}

std::vector<std::string> PlusValuesHeld(const ConfigFileContents& contents) {
    struct Field {
        const char* name;
        const int16_t* values;
    } const kFields[] = {{"Terminate Count", contents.plus.TerminateCount},
                         {"Terminate Timeout", contents.plus.TerminateTimeout},
                         {"Trigger/Inhibit register", contents.plus.TriggerInhibit}};
    std::vector<std::string> out;
    for (int p = 0; p < 4; ++p)
        for (const Field& f : kFields)
            if (f.values[p] != 0)
                out.push_back("Port " + std::to_string(p + 1) + ": " + f.name + " " +
                              std::to_string(f.values[p]) + " needs a PLUS module");
    return out;
}

std::vector<std::string> RegisterBlockOverlaps(const ConfigFileContents& contents) {
    std::vector<Block> blocks;
    for (int p = 0; p < 4; ++p)
        for (int k = 0; k < 4; ++k) {
            const DataPath& path = contents.ports[p].Paths[k];
            if (path.RegisterCount <= 0) continue;
            blocks.push_back(
                {p + 1, k + 1, path.StartRegister, path.StartRegister + path.RegisterCount - 1});
        }
    std::vector<std::string> out;
    char text[128];
    for (size_t i = 0; i < blocks.size(); ++i)
        for (size_t j = i + 1; j < blocks.size(); ++j) {
            const Block& a = blocks[i];
            const Block& b = blocks[j];
            if (a.last < b.first || b.last < a.first) continue;
            std::snprintf(text, sizeof text,
                          "Port %d, Path %d (registers %d-%d) overlaps Port %d, Path %d "
                          "(registers %d-%d)",
                          a.port, a.path, a.first, a.last, b.port, b.path, b.first, b.last);
            out.push_back(text);
        }
    return out;
}
