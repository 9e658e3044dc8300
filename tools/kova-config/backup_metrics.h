// --metrics FILE: the outcome of a backup run in the Prometheus text
// exposition format (version 0.0.4), for node_exporter's textfile collector
// or any scraper of such files: per module whether it was fetched, whether it
// changed and in how many fields, how long it took, when it last succeeded
// and when its configuration last changed, and when the run ended. Every
// module of the list has every series on every run, so that an alert on a
// series' value also fires for a module that never answered (its times are
// 0 then). The times of a module come forward from the previous file until
// a run brings new ones.
#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

struct ModuleMetrics {
    std::string module;  // the name in the list
    bool up = false;
    bool changed = false;
    double seconds = 0;
    std::optional<double> lastSuccess;  // seconds since the epoch; none: never
    std::optional<double> lastChange;   // when a run found it changed; none: never
    int changedFields = 0;              // fields that differed in this run
};

// A label value as the format writes it: backslash, double quote and line
// feed escaped.
std::string EscapeLabelValue(const std::string& value);

// The whole file.
std::string MetricsText(const std::vector<ModuleMetrics>& modules, double runTimestamp);

// The last success (and last change) times a metrics file holds, by module;
// lines it does not understand, and times of 0 (never), are passed over.
std::map<std::string, double> LastSuccessTimes(const std::string& text);
std::map<std::string, double> LastChangeTimes(const std::string& text);
