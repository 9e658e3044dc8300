// --metrics FILE: the outcome of a backup run in the Prometheus text
// exposition format (version 0.0.4), for node_exporter's textfile collector
// or any scraper of such files: per module whether it was fetched, whether it
// changed, how long it took and when it last succeeded, and when the run
// ended. A module that failed keeps the last success time of the previous
// file.
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
    std::optional<double> lastSuccess;  // seconds since the epoch
};

// A label value as the format writes it: backslash, double quote and line
// feed escaped.
std::string EscapeLabelValue(const std::string& value);

// The whole file.
std::string MetricsText(const std::vector<ModuleMetrics>& modules, double runTimestamp);

// The last success times a metrics file holds, by module; lines it does not
// understand are passed over.
std::map<std::string, double> LastSuccessTimes(const std::string& text);
