// Polls are timed from the first one's start (start + k x interval), so a slow
// reply delays one line, never every line after it; a poll that would fall
// into the past is skipped to the next slot. SIGINT and SIGTERM end the run
// at once (see main): a poll under way is given up rather than waited out,
// and every line printed before is whole, since each is flushed as it ends.
#include "poll_command.h"

#include <time.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "common/exit_status.h"
#include "common/printable.h"
#include "value_formats.h"

namespace {

// ISO 8601 local time with milliseconds: 2026-12-10T14:03:07.125
std::string LocalTimeText() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    char text[40];
    size_t n = strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    std::snprintf(text + n, sizeof text - n, ".%03ld", long(now.tv_nsec / 1000000));
    return text;
}

// A text value may hold a comma or a quote.
std::string CsvField(const std::string& v) {
    if (v.find_first_of(",\"") == std::string::npos) return v;
    std::string quoted = "\"";
    for (char c : v) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

bool PollOnce(Link* link, const LinkOptions& o) {
    std::vector<uint16_t> values(size_t(o.count));
    std::string line = LocalTimeText();
    int n = o.pollInput ? InputRegisterRead(link, o.reg, o.count, values.data())
                        : RegisterRead(link, o.reg, o.count, values.data());
    bool ok = n >= o.count;
    if (ok) {
        for (const std::string& v : FormatValues(o.format, values.data(), values.size()))
            line += "," + CsvField(v);
    } else {
        const char* text = LinkErrorText(link);
        line += ",ERROR,";
        line += n > 0   ? "Read reply too short"
                : *text ? text
                        : "Not supported on this kind of link";
    }
    std::printf("%s\n", tools::Printable(line).c_str());
    std::fflush(stdout);  // a file that is charted while it grows
    return ok;
}

timespec Plus(timespec t, long ms) {
    t.tv_sec += ms / 1000;
    t.tv_nsec += (ms % 1000) * 1000000L;
    if (t.tv_nsec >= 1000000000L) {
        t.tv_nsec -= 1000000000L;
        ++t.tv_sec;
    }
    return t;
}

bool Before(const timespec& a, const timespec& b) {
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

}  // namespace

int Poll(Link* link, const LinkOptions& o) {
    bool allOk = true;
    timespec next{};
    clock_gettime(CLOCK_MONOTONIC, &next);
    for (int done = 0; o.pollCount == 0 || done < o.pollCount; ++done) {
        if (done > 0) {
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            while (!Before(now, next)) next = Plus(next, o.pollIntervalMs);
            while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr) == EINTR) {
            }
        }
        next = done == 0 ? Plus(next, o.pollIntervalMs) : next;
        allOk = PollOnce(link, o) && allOk;
    }
    CloseLink(link);
    return allOk ? tools::kExitOk : tools::kExitFailed;
}
