// Option table of kova-sim: each option names its argument and how it is stored.
#include "sim_options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "../common/option_table.h"
#include "../common/tool_version.h"

namespace {

using tools::Choice;
using tools::ToInt;

// "N" or "N:M".
bool ParseDropAfter(const char* text, SimOptions* o) {
    const std::string s = text;
    const size_t colon = s.find(':');
    if (colon == std::string::npos) return ToInt(text, 0, 1000000, &o->dropAfter);
    return ToInt(s.substr(0, colon).c_str(), 0, 1000000, &o->dropAfter) &&
           ToInt(s.substr(colon + 1).c_str(), 1, 1000000, &o->dropFor);
}
using Option = tools::OptionRow<SimOptions>;

bool ParsePreset(const char* text, std::vector<std::pair<int, uint16_t>>* presets) {
    std::string item = text;
    size_t equals = item.find('=');
    int reg;
    uint16_t value;
    if (equals == std::string::npos ||
        !ToInt(item.substr(0, equals).c_str(), 1, kRegisterCount, &reg) ||
        !ToInt(item.substr(equals + 1).c_str(), 0, 65535, &value))
        return false;
    presets->emplace_back(reg, value);
    return true;
}

const Option kOptions[] = {
    {"--protocol", "symax|rtu|ascii|gateway|tcp", "wire protocol to answer",
     [](SimOptions& o, const char* a) {
         int i;
         return Choice(a, {"symax", "rtu", "ascii", "gateway", "tcp"}, &i) &&
                (o.protocol = SimProtocol(i), true);
     }},
    {"--listen", "HOST:PORT",
     "where to accept connections (port 0: any free one); serial protocols: one at a time",
     [](SimOptions& o, const char* a) { return o.listen = a, true; }},
    {"--tcp", "HOST:PORT", "short for --protocol tcp --listen HOST:PORT",
     [](SimOptions& o, const char* a) {
         return o.protocol = SimProtocol::Tcp, o.listen = a, true;
     }},
    {"--pty", nullptr, "create a pty pair and print the slave's path",
     [](SimOptions& o, const char*) { return o.pty = true; }},
    {"--tty", "PATH", "serve this serial device instead",
     [](SimOptions& o, const char* a) { return o.tty = a, true; }},
    {"--drop", "N", "Modbus slave address or TCP unit identifier (default 1)",
     [](SimOptions& o, const char* a) { return ToInt(a, 0, 255, &o.drop); }},
    {"--crc", nullptr, "Sy/Max frames carry a CRC instead of a BCC",
     [](SimOptions& o, const char*) { return o.crc = true; }},
    {"--model", "plus|standard", "whether register 7423 is writable (default plus)",
     [](SimOptions& o, const char* a) {
         int i;
         return Choice(a, {"plus", "standard"}, &i) &&
                (o.model = i ? SimModel::Standard : SimModel::Plus, true);
     }},
    {"--no-eeprom", nullptr, "register 8174 reads back 0xC5C5 after the EEPROM command",
     [](SimOptions& o, const char*) { return o.eeprom = false, true; }},
    {"--eeprom-status", "N", "what register 8174 reads back after the EEPROM command (default 0)",
     [](SimOptions& o, const char* a) {
         return ToInt(a, 0, 65535, &o.eepromStatus) && (o.eeprom = true);
     }},
    {"--config", "FILE.KOV", "start with the registers a full send of this configuration leaves",
     [](SimOptions& o, const char* a) { return o.configFile = a, true; }},
    {"--log", "FILE", "write each register request to FILE as \"r|w FIRST COUNT\"",
     [](SimOptions& o, const char* a) { return o.logFile = a, true; }},
    {"--count-bytes", nullptr, "serial: print \"received N sent M\" at the end",
     [](SimOptions& o, const char*) { return o.countBytes = true; }},
    {"--set", "REG=VALUE", "start with a holding register at a value (repeatable, applied last)",
     [](SimOptions& o, const char* a) { return ParsePreset(a, &o.presets); }},
    {"--feed", "PORT=FILE[@MS]",
     "a device on module port 1-4: every MS (default 1000) the next line of FILE, with CR LF "
     "(repeatable)",
     [](SimOptions& o, const char* a) {
         FeedOption feed;
         return ParseFeedOption(a, &feed) && (o.feeds.push_back(feed), true);
     }},
    {"--baud", "N", "line rate for --tty and --pace (default 9600)",
     [](SimOptions& o, const char* a) {
         int v;
         return ToInt(a, 50, 4000000, &v) && (o.baud = unsigned(v), true);
     }},
    {"--parity", "none|even|odd", "parity for --tty and --pace (default even)",
     [](SimOptions& o, const char* a) {
         return Choice(a, {"none", "even", "odd"}, &o.parity);
     }},
    {"--data-bits", "7|8", "data bits (default 8)",
     [](SimOptions& o, const char* a) { return ToInt(a, 7, 8, &o.dataBits); }},
    {"--stop-bits", "1|2", "stop bits (default 1)",
     [](SimOptions& o, const char* a) { return ToInt(a, 1, 2, &o.stopBits); }},
    {"--pace", nullptr, "send no faster than the line rate would carry the bytes",
     [](SimOptions& o, const char*) { return o.pace = true; }},
    {"--cts", "BITS", "CTS bits of the four ports in register 8187",
     [](SimOptions& o, const char* a) { return ToInt(a, 0, 15, &o.cts); }},
    {"--drop-every", "N", "fault: give no reply to every Nth request",
     [](SimOptions& o, const char* a) { return ToInt(a, 1, 1000000, &o.dropEvery); }},
    {"--drop-after", "N[:M]",
     "fault: give no reply to the requests after the Nth, to M of them or to all (a module "
     "gone); 0:M the first M",
     [](SimOptions& o, const char* a) { return ParseDropAfter(a, &o); }},
    {"--corrupt-first", "N",
     "fault: the first N replies carry a wrong check (Gateway: one number too many in front, or a "
     "\"?\" before the CR; TCP: a wrong function code)",
     [](SimOptions& o, const char* a) { return ToInt(a, 0, 1000000, &o.corruptFirst); }},
    {"--nak-first", "N", "fault: answer the first N Sy/Max frames with NAK",
     [](SimOptions& o, const char* a) { return ToInt(a, 0, 1000000, &o.nakFirst); }},
    {"--error", "CODE", "fault: answer with this Sy/Max error or Modbus exception code",
     [](SimOptions& o, const char* a) { return ToInt(a, 0, 255, &o.errorCode); }},
    {"--delay", "MS", "fault: wait this long before each reply",
     [](SimOptions& o, const char* a) { return ToInt(a, 0, 600000, &o.delayMs); }},
    {"--delay-every", "N", "fault: with --delay, wait before every Nth reply only",
     [](SimOptions& o, const char* a) { return ToInt(a, 1, 1000000, &o.delayEvery); }},
    {"--chatter", "MS",
     "fault: this often send what answers nothing (Gateway: an ERROR line; RTU, ASCII: "
     "another drop's reply; TCP: a reply with an old transaction identifier)",
     [](SimOptions& o, const char* a) { return ToInt(a, 1, 600000, &o.chatterMs); }},
    {"--alter-written", "REG",
     "fault: a write covering register REG leaves it one more than written",
     [](SimOptions& o, const char* a) { return ToInt(a, 1, kRegisterCount, &o.alterWritten); }},
    {"--trickle", "MS", "fault: send replies a byte at a time, this far apart",
     [](SimOptions& o, const char* a) { return ToInt(a, 1, 600000, &o.trickleMs); }},
};

void PrintHelp(FILE* out) {
    fprintf(out,
            "usage: kova-sim --protocol symax|rtu|ascii|gateway (--pty | --tty PATH | --listen HOST:PORT)\n"
            "                [options]\n"
            "       kova-sim --protocol tcp --listen HOST:PORT [options]\n"
            "A simulated KOVA module: 16384 registers with the identification block,\n"
            "answering as a Sy/Max, Modbus RTU, Modbus ASCII, Gateway or Modbus TCP slave\n"
            "until SIGTERM or SIGINT. With --pty the slave side's path is printed alone on\n"
            "the first line; with --listen \"listening\", then the port.\n"
            "Lines fed to a port go through the module's message processing with the\n"
            "port's configuration as the registers hold it, and land in the registers\n"
            "from the rack base up; the port's CTS bit in 8187 is up for the first half\n"
            "of each interval. Example: --feed 2=scale.txt@1000 --feed 1=codes.txt@4000\n\n");
    tools::PrintOptionHelp(out, kOptions, 28);
    tools::PrintCommonOptionHelp(out, 28);
}

}  // namespace

bool ParseSimOptions(int argc, char** argv, SimOptions* options, int* exitCode) {
    int next = 0;
    switch (tools::ApplyOptions("kova-sim", argc, argv, kOptions, *options, &next)) {
        case tools::OptionsResult::Help:
            PrintHelp(stdout);
            *exitCode = 0;
            return false;
        case tools::OptionsResult::Version:
            tools::PrintVersion("kova-sim");
            *exitCode = 0;
            return false;
        case tools::OptionsResult::Bad:
            PrintHelp(stderr);
            *exitCode = 2;
            return false;
        case tools::OptionsResult::Parsed:
            break;
    }
    if (next < argc) {
        fprintf(stderr, "kova-sim: unexpected argument: %s\n", argv[next]);
        *exitCode = 2;
        return false;
    }
    if (options->chatterMs && options->protocol == SimProtocol::SyMax) {
        fprintf(stderr, "kova-sim: --chatter is for the rtu, ascii, gateway and tcp protocols\n");
        *exitCode = 2;
        return false;
    }
    if (options->protocol == SimProtocol::Tcp) {
        if (!options->listen.empty()) return true;
        fprintf(stderr, "kova-sim: give --listen HOST:PORT for Modbus TCP\n");
        *exitCode = 2;
        return false;
    }
    if (int(options->pty) + int(!options->tty.empty()) + int(!options->listen.empty()) != 1) {
        fprintf(stderr, "kova-sim: give one of --pty, --tty PATH or --listen HOST:PORT\n");
        *exitCode = 2;
        return false;
    }
    return true;
}
