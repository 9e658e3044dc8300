// kova-link: scripted register access over a Sy/Max, Net-to-Net, Modbus RTU,
// Modbus ASCII, Gateway or Modbus TCP link, and a request-rate benchmark.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/exit_status.h"
#include "common/printable.h"
#include "link/link.h"
#include "link/serial_device.h"
#include "link_options.h"
#include "poll_command.h"
#include "value_formats.h"

namespace {

// A signal ends the tool at once, whatever it waits for (a reply from a
// silent device, the next poll), and by that signal, so the shell sees 130
// or 143. The port is given back first: a TIOCEXCL or a lock file left on it
// would keep every later program out.
void EndBySignal(int signal) {
    ReleaseHeldSerialPorts();
    ::signal(signal, SIG_DFL);
    raise(signal);
}

void RemoveLocksOnSignals() {
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        struct sigaction action {};
        action.sa_handler = EndBySignal;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    }
}

int Fail(Link* link) {
    // Operations a link kind does not offer fail without a text of their own.
    const char* text = LinkErrorText(link);
    fprintf(stderr, "kova-link: %s\n",
            *text ? tools::Printable(text).c_str() : "Not supported on this kind of link");
    return tools::kExitFailed;
}

// The values in the --format asked for: on one line, blank between, or with
// --numbered a "REGISTER VALUE" line each, named by the value's first register.
void PrintValues(const LinkOptions& o, const uint16_t* values, int count) {
    const std::vector<std::string> typed = FormatValues(o.format, values, size_t(count));
    const int step = o.format.format == ValueFormat::Text ? std::max(1, count)
                                                          : RegistersPerValue(o.format.format);
    std::string line;
    for (size_t i = 0; i < typed.size(); ++i) {
        if (o.numbered)
            printf("%d %s\n", o.reg + int(i) * step, tools::Printable(typed[i]).c_str());
        else
            line += (line.empty() ? "" : " ") + typed[i];
    }
    if (!o.numbered) printf("%s\n", tools::Printable(line).c_str());
}

int PrintRead(Link* link, const LinkOptions& o, bool input) {
    std::vector<uint16_t> values(size_t(o.count > 0 ? o.count : 1));
    int n = input ? InputRegisterRead(link, o.reg, o.count, values.data())
                  : RegisterRead(link, o.reg, o.count, values.data());
    if (n <= 0) return Fail(link);
    PrintValues(o, values.data(), n);
    return tools::kExitOk;
}

// Any number of registers in requests of the most a read carries on the
// link; every request must bring all it asked for.
int Dump(Link* link, const LinkOptions& o) {
    std::vector<uint16_t> values(size_t(o.count));
    for (int done = 0; done < o.count;) {
        int count = std::min(o.readChunk, o.count - done);
        int n = RegisterRead(link, o.reg + done, count, &values[size_t(done)]);
        if (n <= 0) return Fail(link);
        if (n < count) {
            fprintf(stderr, "kova-link: Read reply too short\n");
            return tools::kExitFailed;
        }
        done += count;
    }
    PrintValues(o, values.data(), o.count);
    return tools::kExitOk;
}

// The requests of a kova-sim request log, timed: reads, and writes of zeros.
int Replay(Link* link, const LinkOptions& o) {
    FILE* in = fopen(o.replayFile.c_str(), "r");
    if (!in) {
        fprintf(stderr, "kova-link: %s: %s\n", tools::Printable(o.replayFile).c_str(),
                strerror(errno));
        return tools::kExitTrouble;  // bad input
    }
    struct Request {
        char op;
        int reg, count;
    };
    std::vector<Request> requests;
    Request r;
    while (fscanf(in, " %c %d %d", &r.op, &r.reg, &r.count) == 3) requests.push_back(r);
    fclose(in);
    uint16_t values[128] = {};
    auto start = std::chrono::steady_clock::now();
    for (const Request& q : requests) {
        int n = q.op == 'w' ? RegisterWrite(link, q.reg, q.count, values)
                            : RegisterRead(link, q.reg, q.count, values);
        if (n <= 0) return Fail(link);
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    printf("%zu requests in %.4f s\n", requests.size(), seconds);
    return tools::kExitOk;
}

int Bench(Link* link, const LinkOptions& o) {
    std::vector<uint16_t> values(size_t(o.count > 0 ? o.count : 1));
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < o.repeats; ++i)
        if (RegisterRead(link, o.reg, o.count, values.data()) <= 0) return Fail(link);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    printf("%d requests in %.3f s: %.1f requests per second\n", o.repeats, seconds,
           o.repeats / seconds);
    return tools::kExitOk;
}

int Sections(Link* link, const LinkOptions& o) {
    uint16_t values[128];
    int reg = o.reg, total = 0;
    auto start = std::chrono::steady_clock::now();
    for (int count : o.sections) {
        if (RegisterRead(link, reg, count, values) != count) return Fail(link);
        reg += count;
        total += count;
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    printf("%zu requests, %d registers in %.4f s\n", o.sections.size(), total, seconds);
    return tools::kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    LinkOptions o;
    int exitCode;
    if (!ParseLinkOptions(argc, argv, &o, &exitCode)) return exitCode;
    RemoveLocksOnSignals();
    std::string reason, note;
    LinkHandle owner = OpenLinkSource(o.source, &reason, &note);
    Link* link = owner.get();
    if (!note.empty()) fprintf(stderr, "kova-link: %s\n", tools::Printable(note).c_str());
    if (!link) {
        fprintf(stderr, "kova-link: Unable to establish link. %s\n",
                tools::Printable(reason).c_str());
        return tools::kExitFailed;
    }
    switch (o.command) {
        case Command::Read:
            return PrintRead(link, o, false);
        case Command::InputRead:
            return PrintRead(link, o, true);
        case Command::Write:
            if (RegisterWrite(link, o.reg, o.count, o.values.data()) <= 0) return Fail(link);
            break;
        case Command::InputWrite:
            if (InputRegisterWrite(link, o.reg, o.count, o.values.data()) <= 0) return Fail(link);
            break;
        case Command::Bench:
            return Bench(link, o);
        case Command::Sections:
            return Sections(link, o);
        case Command::Dump:
            return Dump(link, o);
        case Command::Replay:
            return Replay(link, o);
        case Command::Poll:
            return Poll(link, o);
    }
    return tools::kExitOk;
}
