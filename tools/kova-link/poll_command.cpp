// Polls are timed from the first one's start (start + k x interval), so a slow
// reply delays one line, never every line after it; a poll that would fall
// into the past is skipped to the next slot. SIGINT and SIGTERM end the run
// at once (see main): a poll under way is given up rather than waited out,
// and every line printed before is whole, since each is flushed as it ends.
#include "poll_command.h"

#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "common/exit_status.h"
#include "common/printable.h"
#include "common/schedule_steps.h"
#include "csv_rows.h"
#include "value_formats.h"

namespace {

// One column a value, named by the value's first register: a pair for the
// 32-bit formats, the whole block for text.
std::vector<std::string> ValueColumns(const LinkOptions& o) {
    const int step = o.format.format == ValueFormat::Text ? std::max(1, o.count)
                                                          : RegistersPerValue(o.format.format);
    std::vector<std::string> columns;
    for (int i = 0; i < o.count; i += step)
        columns.push_back(RegisterColumn(o.pollInput, o.reg + i));
    return columns;
}

void PrintRow(const std::string& row) {
    std::printf("%s\n", row.c_str());
    std::fflush(stdout);  // a file that is charted while it grows
}

bool PollOnce(Link* link, const LinkOptions& o) {
    std::vector<uint16_t> values(size_t(o.count));
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const std::string time = CsvTime(now, o.utc);
    int n = o.pollInput ? InputRegisterRead(link, o.reg, o.count, values.data())
                        : RegisterRead(link, o.reg, o.count, values.data());
    if (n >= o.count) {
        PrintRow(CsvValuesRow(time, FormatValues(o.format, values.data(), values.size())));
        return true;
    }
    const char* text = LinkErrorText(link);
    const std::string error = n > 0   ? "Read reply too short"
                              : *text ? tools::Printable(text)
                                      : "Not supported on this kind of link";
    PrintRow(CsvErrorRow(time, ValueColumns(o).size(), error));
    return false;
}

}  // namespace

int Poll(Link* link, const LinkOptions& o) {
    PrintRow(CsvHeader(ValueColumns(o)));
    bool allOk = true;
    timespec next{};
    clock_gettime(CLOCK_MONOTONIC, &next);
    for (int done = 0; o.pollCount == 0 || done < o.pollCount; ++done) {
        if (done > 0) {
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            while (!tools::Before(now, next))
                next = tools::PlusMilliseconds(next, o.pollIntervalMs);
            while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr) == EINTR) {
            }
        }
        next = done == 0 ? tools::PlusMilliseconds(next, o.pollIntervalMs) : next;
        allOk = PollOnce(link, o) && allOk;
    }
    return allOk ? tools::kExitOk : tools::kExitFailed;
}
