// Option table and command parsing of kova-link.
#include "link_options.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/exit_status.h"
#include "common/option_table.h"
#include "common/printable.h"
#include "common/request_limits.h"
#include "common/tool_version.h"

namespace {

using tools::ToInt;
using Option = tools::OptionRow<LinkOptions>;

std::vector<Option> OptionRows() {
    std::vector<Option> rows =
        tools::LiftOptions(tools::OptionTable<LinkSource>(LinkSourceRows()), &LinkOptions::source);
    // Bare port names are then looked for in DIR/dev only: tests offer ptys
    // there and never reach the machine's own ports.
    rows.push_back(
        {"--device-root", "DIR",
         "testing: serial ports listed from DIR/sys/class/tty, opened in DIR/dev",
         [](LinkOptions& o, const char* a) { return o.source.settings.deviceRoot = a, true; }});
    rows.push_back(
        {"--interval", "MS",
         "poll: time from one poll's start to the next (1-86400000, default 1000)",
         [](LinkOptions& o, const char* a) { return ToInt(a, 1, 86400000, &o.pollIntervalMs); }});
    rows.push_back(
        {"--count", "N", "poll: this many polls (default: until interrupted)",
         [](LinkOptions& o, const char* a) { return ToInt(a, 1, 2000000000, &o.pollCount); }});
    rows.push_back({"--input", nullptr, "poll: input registers",
                    [](LinkOptions& o, const char*) { return o.pollInput = true; }});
    rows.push_back(
        {"--format", "F", "values as u16 (default), s16, hex, bin, u32, s32, f32, bcd, text",
         [](LinkOptions& o, const char* a) { return ParseValueFormat(a, &o.format.format); }});
    rows.push_back(
        {"--word-order", "ORDER", "u32, s32, f32: low-first (default) or high-first",
         [](LinkOptions& o, const char* a) { return ParseWordOrder(a, &o.format.order); }});
    rows.push_back({"--utc", nullptr, "poll: times in UTC (...Z), not local time with its offset",
                    [](LinkOptions& o, const char*) { return o.utc = true; }});
    rows.push_back({"--numbered", nullptr,
                    "read, input-read, dump: one \"REGISTER VALUE\" line a register",
                    [](LinkOptions& o, const char*) { return o.numbered = true; }});
    return rows;
}

void PrintHelp(FILE* out, const std::vector<Option>& rows) {
    fprintf(out,
            "usage: kova-link --type %s --port DEVICE [options] COMMAND\n"
            "       kova-link --type %s --host HOST [--tcp-port N] [options] COMMAND\n",
            LinkKindNames(KindsNamed::Serial).c_str(),
            LinkKindNames(KindsNamed::NotSerial).c_str());
    fprintf(out,
            "       kova-link --setup FILE.STP COMMAND\n"
            "Reads and writes controller registers (1-based) over a serial or Modbus TCP link.\n"
            "Options may stand anywhere on the line; \"--\" ends them.\n\n"
            "commands:\n"
            "  read REGISTER COUNT          print the values (unsigned decimal, or --format)\n"
            "  dump REGISTER COUNT          print any number of registers, read as many a\n"
            "                               request as the link kind carries (--numbered:\n"
            "                               one \"REGISTER VALUE\" line a register)\n"
            "  replay FILE                  time the requests of FILE, one \"r|w FIRST COUNT\" a\n"
            "                               line (kova-sim --log), writes sending zeros\n"
            "  write REGISTER VALUE...      values 0-65535 or 0x-prefixed hexadecimal, or as\n"
            "                               --format: write --format f32 100 12.5\n"
            "  input-read REGISTER COUNT    input registers\n"
            "  input-write REGISTER VALUE...\n"
            "  bench N REGISTER COUNT       time N reads, print requests per second\n"
            "  sections REGISTER N,N,...    time reads of consecutive sections from "
            "REGISTER\n"
            "  poll REGISTER COUNT          read every --interval MS, CSV: a header row\n"
            "                               time,4x20,4x21,...,error, then one row a poll;\n"
            "                               a failed poll leaves the values empty and\n"
            "                               says why in error\n\noptions:\n");
    tools::PrintOptionHelp(out, tools::OptionTable<LinkOptions>(rows), 32);
    tools::PrintCommonOptionHelp(out, 32);
    fprintf(out,
            "\nA request carries 1-128 registers on a Sy/Max or Gateway link; a Modbus read\n"
            "125, a write 127 (input-write 124). Registers are 1-65536 (Sy/Max 1-16384,\n"
            "Gateway 1-8192); a Modbus --drop is 1-247.\n"
            "\nexit status: 0 success; 1 the link failed (its error text on standard error;\n"
            "poll: a poll failed); 2 a usage error or bad input (a register, count, drop\n"
            "or number of values the link kind cannot carry in one request).\n");
}

// Reads the command's operands for the link kind; false with *error naming
// the command, the operand and what it may be.
class CommandParser {
  public:
    CommandParser(const std::vector<std::string>& words, const LinkKindRow& kind,
                  std::string* error)
        : words_(words), kind_(kind), error_(error) {}

    bool Parse(LinkOptions* o);

  private:
    bool More() const { return i_ < words_.size(); }
    const char* Word() const { return words_[i_].c_str(); }
    std::string Given() const {
        return More() ? std::string(", not ") + Word() : std::string(" (missing)");
    }
    std::string OnLink() const { return std::string(" on ") + RequestLimitsOf(kind_).linkName; }
    template <class T>
    bool Arg(const char* what, long low, long high, T* out) {
        if (More() && ToInt(Word(), low, high, out)) return ++i_, true;
        *error_ = name_ + ": " + what + " must be " + std::to_string(low) + "-" +
                  std::to_string(high) + Given();
        return false;
    }
    // The first register of a request of op: 1 up to the kind's last.
    bool Register(RequestOp op, int* out) {
        const int last = LastRegister(kind_, op);
        if (More() && ToInt(Word(), 1, last, out)) return ++i_, true;
        *error_ = name_ + ": REGISTER must be 1-" + std::to_string(last) + OnLink() + Given();
        return false;
    }
    // A read count: what one request carries; more is dump's work.
    bool Count(RequestOp op, int* out) {
        const int most = std::max(1, MaxRequestCount(kind_, op));
        if (More() && ToInt(Word(), 1, most, out)) return ++i_, true;
        *error_ = name_ + ": COUNT must be 1-" + std::to_string(most) + OnLink() +
                  " (one request; use dump for more)" + Given();
        return false;
    }
    // The request as a whole: its last register too.
    bool Fits(RequestOp op, int reg, int count) {
        std::string why;
        if (RequestFits(kind_, op, reg, count, &why)) return true;
        *error_ = name_ + ": " + why;
        return false;
    }
    bool End() {
        if (!More()) return true;
        *error_ = name_ + ": unexpected argument " + Word();
        return false;
    }
    bool Values(RequestOp op, LinkOptions* o);
    // A 32-bit format reads its values whole: two registers each.
    bool WholeValues(const LinkOptions* o) {
        if (o->count % RegistersPerValue(o->format.format) == 0) return true;
        *error_ = name_ + ": COUNT must be even for a 32-bit --format (two registers a value)";
        return false;
    }
    bool SectionList(LinkOptions* o);

    const std::vector<std::string>& words_;
    size_t i_ = 0;
    const LinkKindRow& kind_;
    std::string* error_;
    std::string name_;
};

bool CommandParser::Values(RequestOp op, LinkOptions* o) {
    if (o->format.format != ValueFormat::U16) {
        std::vector<std::string> typed(words_.begin() + long(i_), words_.end());
        i_ = words_.size();
        if (typed.empty()) return *error_ = name_ + ": VALUE missing (at least one)", false;
        std::string why;
        if (!EncodeValues(o->format, typed, &o->values, &why))
            return *error_ = name_ + ": " + why, false;
        o->count = int(o->values.size());
        return Fits(op, o->reg, o->count);
    }
    for (; More(); ++i_) {
        uint16_t value;
        if (!ToInt(Word(), 0, 65535, &value)) {
            *error_ = name_ + ": VALUE must be 0-65535 or 0x0-0xFFFF, not " + Word();
            return false;
        }
        o->values.push_back(value);
    }
    o->count = int(o->values.size());
    if (o->count == 0) return *error_ = name_ + ": VALUE missing (at least one)", false;
    return Fits(op, o->reg, o->count);
}

bool CommandParser::SectionList(LinkOptions* o) {
    if (i_ + 1 != words_.size()) {
        *error_ = name_ + ": give one list of counts N,N,...";
        return false;
    }
    const int most = std::max(1, MaxRequestCount(kind_, RequestOp::Read));
    std::string list = words_[i_++];
    size_t start = 0;
    int total = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        std::string item = list.substr(start, comma - start);
        int count;
        if (!ToInt(item.c_str(), 1, most, &count)) {
            *error_ = name_ + ": each count must be 1-" + std::to_string(most) + OnLink() +
                      ", not \"" + item + "\"";
            return false;
        }
        o->sections.push_back(count);
        total += count;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return Fits(RequestOp::Read, o->reg + total - o->sections.back(), o->sections.back());
}

bool CommandParser::Parse(LinkOptions* o) {
    if (!More()) return *error_ = "missing command", false;
    name_ = words_[i_++];
    if (name_ == "read" || name_ == "input-read" || name_ == "poll") {
        o->command = name_ == "read"         ? Command::Read
                     : name_ == "input-read" ? Command::InputRead
                                             : Command::Poll;
        const RequestOp op =
            o->command == Command::InputRead || (o->command == Command::Poll && o->pollInput)
                ? RequestOp::InputRead
                : RequestOp::Read;
        return Register(op, &o->reg) && Count(op, &o->count) && End() &&
               Fits(op, o->reg, o->count) && WholeValues(o);
    }
    if (name_ == "replay") {
        o->command = Command::Replay;
        if (i_ + 1 != words_.size()) return *error_ = "replay: give one FILE", false;
        o->replayFile = words_[i_];
        return true;
    }
    if (name_ == "dump") {
        o->command = Command::Dump;
        o->readChunk = std::max(1, MaxRequestCount(kind_, RequestOp::Read));
        const int last = LastRegister(kind_, RequestOp::Read);
        if (!Register(RequestOp::Read, &o->reg) || !Arg("COUNT", 1, last, &o->count) || !End() ||
            !WholeValues(o))
            return false;
        if (o->reg + o->count - 1 <= last) return true;
        *error_ = name_ + ": REGISTER " + std::to_string(o->reg) + " with COUNT " +
                  std::to_string(o->count) + " runs past register " + std::to_string(last) +
                  ", the last" + OnLink();
        return false;
    }
    if (name_ == "write" || name_ == "input-write") {
        o->command = name_ == "write" ? Command::Write : Command::InputWrite;
        const RequestOp op = name_ == "write" ? RequestOp::Write : RequestOp::InputWrite;
        return Register(op, &o->reg) && Values(op, o);
    }
    if (name_ == "bench") {
        o->command = Command::Bench;
        return Arg("N", 1, 100000000, &o->repeats) && Register(RequestOp::Read, &o->reg) &&
               Count(RequestOp::Read, &o->count) && End() &&
               Fits(RequestOp::Read, o->reg, o->count);
    }
    if (name_ == "sections") {
        o->command = Command::Sections;
        return Register(RequestOp::Read, &o->reg) && SectionList(o);
    }
    *error_ = "unknown command " + name_;
    return false;
}

// An option that changes what a command prints is refused with another
// command, where it would be ignored without a word.
bool OptionsFitCommand(const LinkOptions& o, std::string* error) {
    const bool printsValues =
        o.command == Command::Read || o.command == Command::InputRead || o.command == Command::Dump;
    if (o.utc && o.command != Command::Poll) return *error = "--utc goes with poll", false;
    if (o.numbered && !printsValues)
        return *error = "--numbered goes with read, input-read and dump", false;
    return true;
}

}  // namespace

bool ParseLinkOptions(int argc, char** argv, LinkOptions* options, int* exitCode) {
    *exitCode = tools::kExitTrouble;
    const std::vector<Option> rows = OptionRows();
    std::vector<std::string> words;
    switch (tools::SplitOptions("kova-link", argc, argv, tools::OptionTable<LinkOptions>(rows),
                                *options, &words)) {
        case tools::OptionsResult::Help:
            PrintHelp(stdout, rows);
            *exitCode = tools::kExitOk;
            return false;
        case tools::OptionsResult::Version:
            tools::PrintVersion("kova-link");
            *exitCode = tools::kExitOk;
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
    // A setup file that cannot be read, or names a drop no Modbus slave
    // answers to, is bad input: refused before the link is opened.
    const LinkKindRow* kind = nullptr;
    if (!LinkSourceComplete(options->source, &error) ||
        !(kind = LinkKindOfSource(options->source, &error))) {
        fprintf(stderr, "kova-link: %s\n", tools::Printable(error).c_str());
        return false;
    }
    if (!CommandParser(words, *kind, &error).Parse(options) ||
        !OptionsFitCommand(*options, &error)) {
        fprintf(stderr, "kova-link: %s (see --help)\n", tools::Printable(error).c_str());
        return false;
    }
    return true;
}
