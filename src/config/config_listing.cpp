// The text of the configuration print-out. Control characters in patterns,
// masks and queries print as two rows of hex digits standing column over
// column with the string, and a caret line marks the string's length.
#include "config/config_listing.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

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
        Print("Print/Prog baud rate = %s     ", Choice(kPrintProgBaudTexts, printProgBaud).c_str());
        Print("Rack base address = %d\n", config_.Plus.RackBase);
    }

    void Port(int p, bool plus) {
        const PortConfig& port = config_.Ports[p];
        Print("Port %d  Input Parameters\n", p + 1);
        Put("------------------------\n");
        Print("Baud rate %-6s    ", Choice(kPortBaudTexts, port.BaudRate).c_str());
        Print("Data bits %s    ", Choice(kDataBitsTexts, port.DataBits).c_str());
        Print("Parity %-4s    ", Choice(kParityTexts, port.Parity).c_str());
        Print("Stop bits %s    ", Choice(kStopBitsTexts, port.StopBits).c_str());
        Print("Capitalize %s\n", Choice(kNoYesTexts, port.Capitalize).c_str());
        if (plus)
            Print("Terminate count %d  Terminate timeout %d\n", config_.Plus.TerminateCount[p],
                  config_.Plus.TerminateTimeout[p]);
        Put("Accept    ");
        SetDump(port.AcceptSet);
        Put("Terminate ");
        SetDump(port.TerminateSet);
        for (int k = 0; k < 4; ++k) Path(port.Paths[k], k);
        if (p > 0) Put("\f");
        Output(p, plus);
        Put("\f");
    }

  private:
    static std::string Choice(const char* const* texts, long index) {
        return ListText(texts, index);
    }

    static std::string Bounded(const char* text) { return std::string(text, strnlen(text, 64)); }

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
        out_ += "\n      Pattern " + Lower(pattern);
        Print("\n              %s\n              ", Carets(pattern).c_str());
        out_ += Upper(mask);
        out_ += "\n      Mask    " + Lower(mask);
        Print("\n              %s\n", Carets(mask).c_str());
        Print("      Start Register %4d", path.StartRegister);
        Print("  Register Count %2d", path.RegisterCount);
        Print("  Editing Mode %s", Choice(kEditingModeTexts, path.EditingMode).c_str());
        if (k < 3)
            Print("  Continue %s\n", Choice(kNoYesTexts, path.Continue).c_str());
        else
            Put("\n");
    }

    void Output(int p, bool plus) {
        const PortConfig& port = config_.Ports[p];
        Print("Port %d  Output Parameters\n", p + 1);
        Put("-------------------------\n");
        Print("Poll Interval %ld.%02ld seconds.", long(port.PollInterval / 100),
              long(port.PollInterval % 100));
        if (plus)
            Print("  Trigger/Inhibit %d.\n", config_.Plus.TriggerInhibit[p]);
        else
            Put("\n");
        Put("\n");
        for (int q = 0; q < 16; ++q) {
            const std::string query = Bounded(port.PollQueries[q]);
            out_ += "         " + Upper(query) + "\n";
            Print("Query %2d ", q + 1);
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
