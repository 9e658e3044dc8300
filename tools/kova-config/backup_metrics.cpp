// One table of metric families: name, help, and the value of a module.
#include "backup_metrics.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

struct Family {
    const char* name;
    const char* help;
    std::function<double(const ModuleMetrics&)> value;
};

const Family kFamilies[] = {
    {"kova_backup_up",
     "Whether the last backup run fetched the module's configuration (1) or not (0).",
     [](const ModuleMetrics& m) { return m.up ? 1.0 : 0.0; }},
    {"kova_backup_changed",
     "Whether the module's configuration differed from its latest backup in the last run.",
     [](const ModuleMetrics& m) { return m.changed ? 1.0 : 0.0; }},
    {"kova_backup_changed_fields",
     "How many fields of the module's configuration differed from its latest backup in the "
     "last run.",
     [](const ModuleMetrics& m) { return double(m.changedFields); }},
    {"kova_backup_duration_seconds", "How long the module's backup took in the last run.",
     [](const ModuleMetrics& m) { return m.seconds; }},
    {"kova_backup_last_success_timestamp_seconds",
     "When the module's configuration was last fetched, in seconds since the epoch (0: never).",
     [](const ModuleMetrics& m) { return m.lastSuccess.value_or(0); }},
    {"kova_backup_last_change_timestamp_seconds",
     "When a backup last found the module's configuration changed, in seconds since the epoch "
     "(0: never).",
     [](const ModuleMetrics& m) { return m.lastChange.value_or(0); }},
};

constexpr const char* kRunFamily = "kova_backup_run_timestamp_seconds";
constexpr const char* kLastSuccess = "kova_backup_last_success_timestamp_seconds";
constexpr const char* kLastChange = "kova_backup_last_change_timestamp_seconds";

// Whole numbers as such (1, 0), times and durations to the millisecond.
std::string Number(double value) {
    char text[32];
    const bool whole = std::fabs(value) < 1e15 && value == std::floor(value);
    std::snprintf(text, sizeof text, whole ? "%.0f" : "%.3f", value);
    return text;
}

std::string Header(const char* name, const char* help) {
    return std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " gauge\n";
}

// The value of module="..." at text[at] (just after the opening quote),
// unescaped; *end is past the closing quote. False when it is cut short.
bool ReadLabelValue(const std::string& text, size_t at, std::string* value, size_t* end) {
    for (size_t i = at; i < text.size(); ++i) {
        if (text[i] == '"') return *end = i + 1, true;
        if (text[i] != '\\') {
            *value += text[i];
        } else if (++i < text.size()) {
            *value += text[i] == 'n' ? '\n' : text[i];
        }
    }
    return false;
}

}  // namespace

std::string EscapeLabelValue(const std::string& value) {
    std::string escaped;
    for (char c : value) {
        if (c == '\\' || c == '"') escaped += '\\';
        escaped += c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return escaped;
}

std::string MetricsText(const std::vector<ModuleMetrics>& modules, double runTimestamp) {
    std::string text;
    for (const Family& family : kFamilies) {
        text += Header(family.name, family.help);
        for (const ModuleMetrics& m : modules)
            text += std::string(family.name) + "{module=\"" + EscapeLabelValue(m.module) +
                    "\"} " + Number(family.value(m)) + "\n";
    }
    text += Header(kRunFamily, "When the last backup run ended, in seconds since the epoch.");
    return text + kRunFamily + " " + Number(runTimestamp) + "\n";
}

namespace {

// The non-zero values of one family, by module.
std::map<std::string, double> TimesOf(const std::string& text, const char* family) {
    std::map<std::string, double> times;
    const std::string start = std::string(family) + "{module=\"";
    for (size_t line = 0; line < text.size();) {
        size_t next = text.find('\n', line);
        if (next == std::string::npos) next = text.size();
        std::string module;
        size_t end = 0;
        if (text.compare(line, start.size(), start) == 0 &&
            ReadLabelValue(text, line + start.size(), &module, &end) && end < next &&
            text[end] == '}') {
            const std::string number = text.substr(end + 1, next - end - 1);
            char* stop = nullptr;
            const double value = std::strtod(number.c_str(), &stop);
            if (stop != number.c_str() && value != 0) times[module] = value;
        }
        line = next + 1;
    }
    return times;
}

}  // namespace

std::map<std::string, double> LastSuccessTimes(const std::string& text) {
    return TimesOf(text, kLastSuccess);
}

std::map<std::string, double> LastChangeTimes(const std::string& text) {
    return TimesOf(text, kLastChange);
}
