// The CSV of kova-link poll: a header row naming the columns, then one row a
// poll with the same columns, so a chart or a spreadsheet reads the file as
// it grows. A failed poll leaves its values empty (a gap in a chart) and says
// why in the last column, "error", which is empty in the rows that worked.
#pragma once
#include <time.h>

#include <string>
#include <vector>

// "4x20" for holding register 20, "3x20" for input register 20: the register
// set as the register viewer names it.
std::string RegisterColumn(bool input, int reg);

// time, the value columns, error.
std::string CsvHeader(const std::vector<std::string>& valueColumns);

// ISO 8601 with milliseconds: 2026-12-11T06:24:33.174Z in UTC, else the
// local time with its offset, 2026-12-11T07:24:33.174+01:00.
std::string CsvTime(const timespec& when, bool utc);

// A poll that worked: time, values, an empty error.
std::string CsvValuesRow(const std::string& time, const std::vector<std::string>& values);
// A failed poll: time, as many empty values as the header names, the error.
std::string CsvErrorRow(const std::string& time, size_t valueColumns, const std::string& error);

// A field as CSV takes it: quoted when it holds a comma, a quote or a line
// end, its quotes doubled.
std::string CsvField(const std::string& text);
