// Validation of port configurations read from files, entered in the editor or
// about to be sent to the module. The problems go to the caller's reporter:
// the screens show them in the error window, the tools print them.
#include "config/validate.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "config/config_fields.h"

namespace {

constexpr int kWindow = kRackWindow;

const ConfigField& PathField(const char* key) { return ConfigFieldNamed(FieldScope::Path, key); }

// A string field ends within its room, whatever the bytes read.
template <size_t N>
void Terminate(char (&text)[N], const ConfigField& field) {
    static_assert(N == 65);
    text[std::min<size_t>(size_t(field.high), N - 1)] = '\0';
}

std::string Format(const char* format, int a, int b, int c, int d) {
    char buffer[136];
    std::snprintf(buffer, sizeof buffer, format, a, b, c, d);
    return buffer;
}

void ValidatePath(DataPath& path, int port, int pathNumber, int rackBase,
                  const ConfigReporter& report) {
    Terminate(path.Pattern, PathField("pattern"));
    Terminate(path.Mask, PathField("mask"));
    int reg = path.StartRegister;
    if (reg < rackBase + 1)
        report(Format("Port %d, Path %d: Register (%d) < Rack Base (%d) + 1", port, pathNumber, reg,
                      rackBase));
    if (reg > rackBase + kWindow)
        report(Format("Port %d, Path %d: Register (%d) > Rack Base (%d) + 2047", port, pathNumber,
                      reg, rackBase));
    path.StartRegister = int16_t(ClampedToField(PathField("start_register"), reg));
    // A negative count would make every consumer walk backwards through
    // memory.
    path.RegisterCount =
        int16_t(ClampedToField(PathField("register_count"), path.RegisterCount));
    // A block that starts inside the window but runs past its top would have
    // the module keep only the registers below it: a barcode cut short with
    // nothing to say so. The count is what fits.
    // Judged on the start as repaired above: with a damaged rack base the
    // start read from the file can lie inside the window while the one kept
    // does not, and the count cut to fit would come out negative.
    const int start = path.StartRegister;
    const int last = start + path.RegisterCount - 1;
    if (start >= rackBase + 1 && start <= rackBase + kWindow && last > rackBase + kWindow) {
        report(Format("Port %d, Path %d: Last Register (%d) > Rack Base (%d) + 2047", port,
                      pathNumber, last, rackBase));
        path.RegisterCount = int16_t(rackBase + kWindow - start + 1);
    }
}

void ValidateTriggerInhibit(int16_t& value, int rackBase, const ConfigReporter& report) {
    if (value != 0 && value < rackBase) {
        char buffer[136];
        std::snprintf(buffer, sizeof buffer, "Trigger/Inhibit (%d) < EditPlus.RackBase (%d)", value,
                      rackBase);
        report(buffer);
        value = int16_t(rackBase);
    }
    if (value > rackBase + kWindow) {
        char buffer[136];
        // Signed: a damaged negative rack base must not print as four billion.
        std::snprintf(buffer, sizeof buffer, "Trigger/Inhibit > %d", rackBase + kWindow);
        report(buffer);
        value = 0;
    }
}

}  // namespace

void ValidatePortsOf(ModuleConfig& config, int first, int last, const ConfigReporter& report) {
    if (first < 0) first = 0;
    if (last > 3) last = 3;
    const int rackBase = config.Plus.RackBase;
    for (int p = first; p <= last; ++p) {
        PortConfig& port = config.Ports[p];
        const ConfigField& dataBits = ConfigFieldNamed(FieldScope::Port, "data_bits");
        if (port.DataBits < dataBits.low || port.DataBits > dataBits.high)
            port.DataBits = int16_t(dataBits.high);
        for (int k = 0; k < 4; ++k) ValidatePath(port.Paths[k], p + 1, k + 1, rackBase, report);
        // Poll queries are strings too; one without its terminator would run
        // into the next query and, for the last one, past the record.
        for (auto& query : port.PollQueries)
            Terminate(query, ConfigFieldNamed(FieldScope::Query, "poll_queries"));
        ValidateTriggerInhibit(config.Plus.TriggerInhibit[p], rackBase, report);
    }
}

void ValidateTriggerInhibitOf(ModuleConfig& config, int port, const ConfigReporter& report) {
    if (port < 0 || port > 3) return;
    ValidateTriggerInhibit(config.Plus.TriggerInhibit[port], config.Plus.RackBase, report);
}

bool CheckPatternWith(const char* pattern, const CharSet& acceptSet, bool capitalize,
                      const ConfigReporter& report) {
    bool openRound = false, openSquare = false;
    for (const char* at = pattern; *at; ++at) {
        const unsigned char c = static_cast<unsigned char>(*at);
        bool passes;
        switch (c) {
            case '-':
            case '#':
            case '*':
            case '=':
            case '?':
                passes = true;
                break;
            case '(':
                passes = openRound = true;
                break;
            case '[':
                passes = openSquare = true;
                break;
            case ')':
                passes = openRound;
                break;
            case ']':
                passes = openSquare;
                break;
            default: {
                const unsigned low = c & 0x7F;
                passes = CharSetHas(acceptSet, low | 0x80) || CharSetHas(acceptSet, low);
                if (!passes && capitalize && low >= 'a' && low <= 'z')
                    passes = CharSetHas(acceptSet, low - 'a' + 'A');
            }
        }
        if (!passes) {
            report("Pattern requires character not in Accept Set");
            return false;
        }
    }
    return true;
}
