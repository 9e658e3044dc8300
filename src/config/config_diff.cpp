// The shown value of every field of a configuration, in print-out order; two
// such lists are compared name by name.
#include "config/config_diff.h"

#include <cstdio>
#include <cstring>

#include "config/config_fields.h"
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
        for (const ConfigField* f = ConfigFieldsBegin(); f != ConfigFieldsEnd(); ++f)
            if (f->scope == FieldScope::Module && Compared(*f))
                Add(f->shownName, Shown(c, *f, 0, 0));
        for (int p = 0; p < 4; ++p) Port(c, p);
        return std::move(fields_);
    }

  private:
    void Add(std::string name, std::string value) {
        fields_.push_back({std::move(name), std::move(value)});
    }

    bool Compared(const ConfigField& f) const { return f.shownName && (plus_ || !f.plusOnly); }

    // The port's fields in table order, the four paths where the path
    // fields stand.
    void Port(const ConfigFileContents& c, int p) {
        const std::string at = "Port " + std::to_string(p + 1) + " ";
        bool pathsDone = false;
        for (const ConfigField* f = ConfigFieldsBegin(); f != ConfigFieldsEnd(); ++f) {
            if (!Compared(*f)) continue;
            if (f->scope == FieldScope::Port) Add(at + f->shownName, Shown(c, *f, p, 0));
            if (f->scope == FieldScope::Query)
                for (int q = 0; q < FieldItems(*f); ++q)
                    Add(at + f->shownName + " " + std::to_string(q + 1), Shown(c, *f, p, q));
            if (f->scope == FieldScope::Path && !pathsDone) {
                pathsDone = true;
                for (int k = 0; k < 4; ++k)
                    Path(c, p, k, at + "Path " + std::to_string(k + 1) + " ");
            }
        }
    }

    void Path(const ConfigFileContents& c, int p, int k, const std::string& at) {
        for (const ConfigField* f = ConfigFieldsBegin(); f != ConfigFieldsEnd(); ++f)
            if (f->scope == FieldScope::Path && Compared(*f) && !(f->notOnLastPath && k == 3))
                Add(at + f->shownName, Shown(c, *f, p, k));
    }

    static std::string Shown(const ConfigFileContents& c, const ConfigField& f, int p, int item) {
        const uint8_t* bytes = FieldBytes(c, f, p, item);
        switch (f.kind) {
            case FieldKind::List:
                return Choice(f.texts, int(FieldValue(c, f, p, item)));
            case FieldKind::Number:
                if (f.width == FieldWidth::U32)
                    return IntervalText(uint32_t(FieldValue(c, f, p, item)));
                return std::to_string(FieldValue(c, f, p, item));
            case FieldKind::Text:
                return Quoted(*reinterpret_cast<const char(*)[65]>(bytes));
            case FieldKind::CharSet:
                return SetText(*reinterpret_cast<const CharSet*>(bytes));
        }
        return "";
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
