// The shown value of every field of a configuration, in print-out order; two
// such lists are compared name by name.
#include "config/config_diff.h"

#include <cstdio>
#include <cstring>

#include "config/config_lists.h"

namespace {

struct ShownField {
    std::string name;
    std::string value;
};

class FieldList {
  public:
    explicit FieldList(bool plus) : plus_(plus) {}

    std::vector<ShownField> Of(const ConfigFileContents& c) {
        fields_.clear();
        Add("Print/Prog baud rate", Choice(kPrintProgBaudTexts, c.printProgBaud));
        Add("Rack base address", std::to_string(c.plus.RackBase));
        for (int p = 0; p < 4; ++p) Port(c, p);
        return std::move(fields_);
    }

  private:
    void Add(std::string name, std::string value) {
        fields_.push_back({std::move(name), std::move(value)});
    }

    void Port(const ConfigFileContents& c, int p) {
        const PortConfig& port = c.ports[p];
        const std::string at = "Port " + std::to_string(p + 1) + " ";
        Add(at + "Baud rate", Choice(kPortBaudTexts, port.BaudRate));
        Add(at + "Data bits", Choice(kDataBitsTexts, port.DataBits));
        Add(at + "Parity", Choice(kParityTexts, port.Parity));
        Add(at + "Stop bits", Choice(kStopBitsTexts, port.StopBits));
        Add(at + "Capitalize", Choice(kNoYesTexts, port.Capitalize));
        if (plus_) {
            Add(at + "Terminate count", std::to_string(c.plus.TerminateCount[p]));
            Add(at + "Terminate timeout", std::to_string(c.plus.TerminateTimeout[p]));
        }
        Add(at + "Accept", SetText(port.AcceptSet));
        Add(at + "Terminate", SetText(port.TerminateSet));
        for (int k = 0; k < 4; ++k)
            Path(port.Paths[k], at + "Path " + std::to_string(k + 1) + " ", k);
        Add(at + "Poll Interval", IntervalText(port.PollInterval));
        if (plus_) Add(at + "Trigger/Inhibit", std::to_string(c.plus.TriggerInhibit[p]));
        for (int q = 0; q < 16; ++q)
            Add(at + "Query " + std::to_string(q + 1), Quoted(port.PollQueries[q]));
    }

    void Path(const DataPath& path, const std::string& at, int k) {
        Add(at + "Pattern", Quoted(path.Pattern));
        Add(at + "Mask", Quoted(path.Mask));
        Add(at + "Start Register", std::to_string(path.StartRegister));
        Add(at + "Register Count", std::to_string(path.RegisterCount));
        Add(at + "Editing Mode", Choice(kEditingModeTexts, path.EditingMode));
        if (k < 3) Add(at + "Continue", Choice(kNoYesTexts, path.Continue));
    }

    // The list text without its padding; a value outside the list shows its
    // number, so two different bad values never look alike.
    static std::string Choice(const char* const* texts, int index) {
        for (int i = 0; texts[i]; ++i) {
            if (i != index) continue;
            std::string text = texts[i];
            while (!text.empty() && text.back() == ' ') text.pop_back();
            return text;
        }
        return "INVALID (" + std::to_string(index) + ")";
    }

    // Up to the terminator; a field without one shows all its 65 bytes, so
    // that it never looks like the 64 characters a module keeps of it.
    // Quotes, backslashes and every byte that is not printable ASCII escaped.
    static std::string Quoted(const char (&text)[65]) {
        std::string out = "\"";
        for (size_t i = 0; i < sizeof text && text[i]; ++i) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            if (c == '"' || c == '\\') {
                out += '\\';
                out += char(c);
            } else if (c < 0x20 || c >= 0x7F) {
                char hex[5];
                std::snprintf(hex, sizeof hex, "\\x%02X", c);
                out += hex;
            } else {
                out += char(c);
            }
        }
        return out + "\"";
    }

    // The codes of the set as hexadecimal ranges: "0A 0D 20-7F".
    static std::string SetText(const CharSet& set) {
        std::string out;
        for (unsigned c = 0; c < 256; ++c) {
            if (!CharSetHas(set, c)) continue;
            unsigned last = c;
            while (last + 1 < 256 && CharSetHas(set, last + 1)) ++last;
            char range[8];
            if (last == c)
                std::snprintf(range, sizeof range, "%02X", c);
            else
                std::snprintf(range, sizeof range, "%02X-%02X", c, last);
            out += out.empty() ? "" : " ";
            out += range;
            c = last;
        }
        return out.empty() ? "none" : out;
    }

    static std::string IntervalText(uint32_t interval) {
        char text[32];
        std::snprintf(text, sizeof text, "%lu.%02lu", static_cast<unsigned long>(interval / 100),
                      static_cast<unsigned long>(interval % 100));
        return text;
    }

    bool plus_;
    std::vector<ShownField> fields_;
};

}  // namespace

std::vector<ConfigDifference> CompareConfigs(const ConfigFileContents& before,
                                             const ConfigFileContents& after, bool plus) {
    const std::vector<ShownField> a = FieldList(plus).Of(before);
    const std::vector<ShownField> b = FieldList(plus).Of(after);
    std::vector<ConfigDifference> differences;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].value != b[i].value) differences.push_back({a[i].name, a[i].value, b[i].value});
    return differences;
}

std::string DifferenceLine(const ConfigDifference& d) {
    return d.field + ": " + d.before + " -> " + d.after;
}
