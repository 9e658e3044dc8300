// The text of the configuration print-out. Control characters in patterns,
// masks and queries print as two rows of hex digits standing column over
// column with the string, and a caret line marks the string's length.
#include "config/config_listing.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "config/config_fields.h"
#include "config/config_lists.h"

namespace {

constexpr const char* kHexDigits = "0123456789ABCDEF";

class Listing {
  public:
    explicit Listing(const ModuleConfig& config) : config_(config) {}

    void Put(const char* text) { out_ += text; }
    void Print(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        char buffer[256];
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        out_ += buffer;
    }
    std::string Take() { return std::move(out_); }

    void Header(int16_t printProgBaud, const std::string& date) {
        Put("                          KOVA Configuration Printout\n");
        Print("                         ============================       %s\n", date.c_str());
        Print("%s = %s     ", Name(M, "print_prog_baud"), Entry(M, "print_prog_baud", printProgBaud).c_str());
        Print("%s = %d\n", Name(M, "rack_base"), config_.Plus.RackBase);
    }

    void Port(int p, bool plus) {
        const PortConfig& port = config_.Ports[p];
        Print("Port %d  Input Parameters\n", p + 1);
        Put("------------------------\n");
        Print("%s %-6s    ", Name(P, "baud_rate"), Entry(P, "baud_rate", port.BaudRate).c_str());
        Print("%s %s    ", Name(P, "data_bits"), Entry(P, "data_bits", port.DataBits).c_str());
        Print("%s %-4s    ", Name(P, "parity"), Entry(P, "parity", port.Parity).c_str());
        Print("%s %s    ", Name(P, "stop_bits"), Entry(P, "stop_bits", port.StopBits).c_str());
        Print("%s %s\n", Name(P, "capitalize"), Entry(P, "capitalize", port.Capitalize).c_str());
        if (plus)
            Print("%s %d  %s %d\n", Name(P, "terminate_count"), config_.Plus.TerminateCount[p],
                  Name(P, "terminate_timeout"), config_.Plus.TerminateTimeout[p]);
        Print("%-10s", Name(P, "accept"));
        SetDump(port.AcceptSet);
        Print("%-10s", Name(P, "terminate"));
        SetDump(port.TerminateSet);
        for (int k = 0; k < 4; ++k) Path(port.Paths[k], k);
        if (p > 0) Put("\f");
        Output(p, plus);
        Put("\f");
    }

  private:
    static constexpr FieldScope M = FieldScope::Module;
    static constexpr FieldScope P = FieldScope::Port;
    static constexpr FieldScope D = FieldScope::Path;

    // The print-out's labels are the fields' names in comparisons.
    static const char* Name(FieldScope scope, const char* key) {
        return ConfigFieldNamed(scope, key).shownName;
    }
    static std::string Entry(FieldScope scope, const char* key, long index) {
        return ListText(ConfigFieldNamed(scope, key).texts, index);
    }

    static std::string Bounded(const char* text) {
        return std::string(text, strnlen(text, size_t(ConfigFieldNamed(D, "pattern").high)));
    }

    static std::string Upper(const std::string& s) {
        std::string line;
        for (unsigned char c : s) line += c < 0x20 ? kHexDigits[c >> 4] : ' ';
        return line;
    }
    static std::string Lower(const std::string& s) {
        std::string line;
        for (unsigned char c : s) line += c < 0x20 ? kHexDigits[c & 15] : char(c);
        return line;
    }
    static std::string Carets(const std::string& s) { return std::string(s.size(), '^'); }

    void SetDump(const CharSet& set) {
        for (int r = 0; r < 16; ++r) {
            if (r > 0) Put("          ");
            for (int c = 16 * r; c < 16 * r + 16; ++c) {
                if (CharSetHas(set, unsigned(c)))
                    Print(" %02X ", c);
                else
                    Put(" ++ ");
            }
            Put("\n");
        }
    }

    void Path(const DataPath& path, int k) {
        const std::string pattern = Bounded(path.Pattern), mask = Bounded(path.Mask);
        Print("Path %d:", k + 1);
        Put("       ");
        out_ += Upper(pattern);
        Print("\n      %-8s", Name(D, "pattern"));
        out_ += Lower(pattern);
        Print("\n              %s\n              ", Carets(pattern).c_str());
        out_ += Upper(mask);
        Print("\n      %-8s", Name(D, "mask"));
        out_ += Lower(mask);
        Print("\n              %s\n", Carets(mask).c_str());
        Print("      %s %4d", Name(D, "start_register"), path.StartRegister);
        Print("  %s %2d", Name(D, "register_count"), path.RegisterCount);
        Print("  %s %s", Name(D, "editing_mode"),
              Entry(D, "editing_mode", path.EditingMode).c_str());
        if (k < 3)
            Print("  %s %s\n", Name(D, "continue"), Entry(D, "continue", path.Continue).c_str());
        else
            Put("\n");
    }

    void Output(int p, bool plus) {
        const PortConfig& port = config_.Ports[p];
        Print("Port %d  Output Parameters\n", p + 1);
        Put("-------------------------\n");
        Print("%s %ld.%02ld seconds.", Name(P, "poll_interval"), long(port.PollInterval / 100),
              long(port.PollInterval % 100));
        if (plus)
            Print("  %s %d.\n", Name(P, "trigger_inhibit"), config_.Plus.TriggerInhibit[p]);
        else
            Put("\n");
        Put("\n");
        for (int q = 0; q < 16; ++q) {
            const std::string query = Bounded(port.PollQueries[q]);
            out_ += "         " + Upper(query) + "\n";
            Print("%s %2d ", Name(FieldScope::Query, "poll_queries"), q + 1);
            out_ += Lower(query) + "\n";
            Print("         %s\n", Carets(query).c_str());
        }
    }

    const ModuleConfig& config_;
    std::string out_;
};

}  // namespace

std::string ConfigListing(const ModuleConfig& config, int16_t printProgBaud, int16_t model,
                          const std::string& date) {
    Listing listing(config);
    listing.Header(printProgBaud, date);
    for (int p = 0; p < 4; ++p) listing.Port(p, model != 0);
    return listing.Take();
}

std::string ListingDate(std::time_t when) {
    static const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm local{};
    localtime_r(&when, &local);
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%s/%02d %02d:%02d", local.tm_mday, kMonths[local.tm_mon],
                  local.tm_year % 100, local.tm_hour, local.tm_min);
    return text;
}
