// Rows and times of the poll CSV.
#include "csv_rows.h"

#include <cstdio>
#include <cstdlib>

std::string RegisterColumn(bool input, int reg) {
    return (input ? "3x" : "4x") + std::to_string(reg);
}

std::string CsvHeader(const std::vector<std::string>& valueColumns) {
    std::string row = "time";
    for (const std::string& column : valueColumns) row += "," + CsvField(column);
    return row + ",error";
}

std::string CsvTime(const timespec& when, bool utc) {
    tm parts{};
    if (utc)
        gmtime_r(&when.tv_sec, &parts);
    else
        localtime_r(&when.tv_sec, &parts);
    char text[64];
    size_t n = strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &parts);
    n += size_t(std::snprintf(text + n, sizeof text - n, ".%03ld", long(when.tv_nsec / 1000000)));
    if (utc) return std::string(text) + "Z";
    // tm_gmtoff is seconds east of UTC; ISO 8601 writes it +hh:mm.
    const long east = parts.tm_gmtoff;
    const long minutes = std::labs(east) / 60;
    std::snprintf(text + n, sizeof text - n, "%c%02ld:%02ld", east < 0 ? '-' : '+', minutes / 60,
                  minutes % 60);
    return text;
}

std::string CsvValuesRow(const std::string& time, const std::vector<std::string>& values) {
    std::string row = time;
    for (const std::string& value : values) row += "," + CsvField(value);
    return row + ",";
}

std::string CsvErrorRow(const std::string& time, size_t valueColumns, const std::string& error) {
    return time + std::string(valueColumns, ',') + "," + CsvField(error);
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}
