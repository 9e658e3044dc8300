// Option table and command parsing of kova-link.
#include "link_options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/option_table.h"
#include "common/printable.h"
#include "common/tool_version.h"
#include "setup/device_root.h"

namespace {

using tools::ToInt;
using Option = tools::OptionRow<LinkOptions>;

std::vector<Option> OptionRows() {
    std::vector<Option> rows =
        tools::LiftOptions(tools::OptionTable<LinkSource>(LinkSourceRows()), &LinkOptions::source);
    // Bare port names are then looked for in DIR/dev only: tests offer ptys
    // there and never reach the machine's own ports.
    rows.push_back({"--device-root", "DIR",
                    "testing: serial ports listed from DIR/sys/class/tty, opened in DIR/dev",
                    [](LinkOptions&, const char* a) { return SetDeviceRoot(a), true; }});
    rows.push_back(
        {"--interval", "MS",
         "poll: time from one poll's start to the next (1-86400000, default 1000)",
         [](LinkOptions& o, const char* a) { return ToInt(a, 1, 86400000, &o.pollIntervalMs); }});
    rows.push_back(
        {"--count", "N", "poll: this many polls (default: until interrupted)",
         [](LinkOptions& o, const char* a) { return ToInt(a, 1, 2000000000, &o.pollCount); }});
    rows.push_back({"--input", nullptr, "poll: input registers",
                    [](LinkOptions& o, const char*) { return o.pollInput = true; }});
    return rows;
}

void PrintHelp(FILE* out, const std::vector<Option>& rows) {
    fprintf(
        out,
        "usage: kova-link --type symax|netnet|rtu|ascii|gateway --port DEVICE [options] COMMAND\n"
        "       kova-link --type tcp --host HOST [--tcp-port N] [options] COMMAND\n"
        "       kova-link --setup FILE.STP COMMAND\n"
        "Reads and writes controller registers (1-based) over a serial or Modbus TCP link.\n\n"
        "commands:\n"
        "  read REGISTER COUNT          print the values, unsigned decimal\n"
        "  dump REGISTER COUNT          print any number of registers, read 125 a request\n"
        "  replay FILE                  time the requests of FILE, one \"r|w FIRST COUNT\" a\n"
        "                               line (kova-sim --log), writes sending zeros\n"
        "  write REGISTER VALUE...      values 0-65535 or 0x-prefixed hexadecimal\n"
        "  input-read REGISTER COUNT    input registers\n"
        "  input-write REGISTER VALUE...\n"
        "  bench N REGISTER COUNT       time N reads, print requests per second\n"
        "  sections REGISTER N,N,...    time reads of consecutive sections from "
        "REGISTER\n"
        "  poll REGISTER COUNT          read every --interval MS, one line a poll:\n"
        "                               TIME,v1,...,vCOUNT or TIME,ERROR,text\n\noptions:\n");
    tools::PrintOptionHelp(out, tools::OptionTable<LinkOptions>(rows), 32);
    fprintf(out, "  %-32s %s\n", "--version", "print the version and exit");
    fprintf(out,
            "\nexit status: 0 success; 1 the link failed (its error text on standard error;\n"
            "poll: a poll failed); 2 a usage error.\n");
}

// Reads the command's operands; false with *error naming the command, the
// operand and what it may be.
class CommandParser {
  public:
    CommandParser(int argc, char** argv, int i, std::string* error)
        : argc_(argc), argv_(argv), i_(i), error_(error) {}

    bool Parse(LinkOptions* o);

  private:
    template <class T>
    bool Arg(const char* what, long low, long high, T* out) {
        if (i_ < argc_ && ToInt(argv_[i_], low, high, out)) return ++i_, true;
        *error_ = name_ + ": " + what + " must be " + std::to_string(low) + "-" +
                  std::to_string(high) +
                  (i_ < argc_ ? std::string(", not ") + argv_[i_] : std::string(" (missing)"));
        return false;
    }
    // A read count: what one request carries; more is dump's work.
    bool Count(int* out) {
        if (i_ < argc_ && ToInt(argv_[i_], 1, kMaxRequestCount, out)) return ++i_, true;
        *error_ = name_ + ": COUNT must be 1-" + std::to_string(kMaxRequestCount) +
                  " (one request; use dump for more)" +
                  (i_ < argc_ ? std::string(", not ") + argv_[i_] : std::string(" (missing)"));
        return false;
    }
    bool End() {
        if (i_ == argc_) return true;
        *error_ = name_ + ": unexpected argument " + argv_[i_];
        return false;
    }
    bool Values(LinkOptions* o);
    bool SectionList(LinkOptions* o);

    int argc_;
    char** argv_;
    int i_;
    std::string* error_;
    std::string name_;
};

bool CommandParser::Values(LinkOptions* o) {
    for (; i_ < argc_; ++i_) {
        uint16_t value;
        if (!ToInt(argv_[i_], 0, 65535, &value)) {
            *error_ = name_ + ": VALUE must be 0-65535 or 0x0-0xFFFF, not " + argv_[i_];
            return false;
        }
        o->values.push_back(value);
    }
    o->count = int(o->values.size());
    if (o->count == 0) *error_ = name_ + ": VALUE missing (at least one)";
    return o->count > 0;
}

bool CommandParser::SectionList(LinkOptions* o) {
    if (i_ + 1 != argc_) {
        *error_ = name_ + ": give one list of counts N,N,...";
        return false;
    }
    std::string list = argv_[i_++];
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        std::string item = list.substr(start, comma - start);
        int count;
        if (!ToInt(item.c_str(), 1, 128, &count)) {
            *error_ = name_ + ": each count must be 1-128, not \"" + item + "\"";
            return false;
        }
        o->sections.push_back(count);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return true;
}

bool CommandParser::Parse(LinkOptions* o) {
    if (i_ >= argc_) return *error_ = "missing command", false;
    name_ = argv_[i_++];
    if (name_ == "read" || name_ == "input-read" || name_ == "poll") {
        o->command = name_ == "read"         ? Command::Read
                     : name_ == "input-read" ? Command::InputRead
                                             : Command::Poll;
        return Arg("REGISTER", 0, 65536, &o->reg) && Count(&o->count) && End();
    }
    if (name_ == "replay") {
        o->command = Command::Replay;
        if (i_ + 1 != argc_) return *error_ = "replay: give one FILE", false;
        o->replayFile = argv_[i_];
        return true;
    }
    if (name_ == "dump") {
        o->command = Command::Dump;
        return Arg("REGISTER", 1, 16384, &o->reg) && Arg("COUNT", 1, 16384, &o->count) && End();
    }
    if (name_ == "write" || name_ == "input-write") {
        o->command = name_ == "write" ? Command::Write : Command::InputWrite;
        return Arg("REGISTER", 0, 65536, &o->reg) && Values(o);
    }
    if (name_ == "bench") {
        o->command = Command::Bench;
        return Arg("N", 1, 100000000, &o->repeats) && Arg("REGISTER", 0, 65536, &o->reg) &&
               Count(&o->count) && End();
    }
    if (name_ == "sections") {
        o->command = Command::Sections;
        return Arg("REGISTER", 1, 65536, &o->reg) && SectionList(o);
    }
    *error_ = "unknown command " + name_;
    return false;
}

}  // namespace

bool ParseLinkOptions(int argc, char** argv, LinkOptions* options, int* exitCode) {
    *exitCode = 2;
    int i = 0;
    const std::vector<Option> rows = OptionRows();
    switch (tools::ApplyOptions("kova-link", argc, argv, tools::OptionTable<LinkOptions>(rows),
                                *options, &i)) {
        case tools::OptionsResult::Help:
            PrintHelp(stdout, rows);
            *exitCode = 0;
            return false;
        case tools::OptionsResult::Version:
            tools::PrintVersion("kova-link");
            *exitCode = 0;
            return false;
        case tools::OptionsResult::Bad:
            return false;
        case tools::OptionsResult::Parsed:
            break;
    }
    std::string error;
    if (!LinkSourceNamed(options->source, &error)) {
        fprintf(stderr, "kova-link: %s (see --help)\n", tools::Printable(error).c_str());
        return false;
    }
    if (!CommandParser(argc, argv, i, &error).Parse(options)) {
        fprintf(stderr, "kova-link: %s (see --help)\n", tools::Printable(error).c_str());
        return false;
    }
    return true;
}
