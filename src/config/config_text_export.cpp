// Writing the text form: the field table walked in order into a small tree of
// tables, printed as TOML (with comments for a reader) or as JSON.
#include <cstdio>
#include <cstring>

#include "config/config_fields.h"
#include "config/config_lists.h"
#include "config/config_text.h"

namespace {

struct Entry {
    std::string key, value, comment;
};

struct Table {
    std::vector<Entry> entries;
    std::string childName;  // "port" or "path"
    std::vector<Table> children;
};

void EscapeCode(unsigned c, std::string& out) {
    switch (c) {
        case '"':
            out += "\\\"";
            return;
        case '\\':
            out += "\\\\";
            return;
        case '\b':
            out += "\\b";
            return;
        case '\t':
            out += "\\t";
            return;
        case '\n':
            out += "\\n";
            return;
        case '\f':
            out += "\\f";
            return;
        case '\r':
            out += "\\r";
            return;
    }
    if (c >= 0x20 && c < 0x7F) {
        out += char(c);
        return;
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\u%04X", c);
    out += hex;
}

std::string QuotedCode(unsigned c) {
    std::string out = "\"";
    EscapeCode(c, out);
    return out + "\"";
}

// A 65-byte text up to its last byte that is not zero: what follows the
// first zero (bytes a module never uses) is kept, so the file comes back.
std::string TextValue(const uint8_t* bytes) {
    size_t size = 65;
    while (size > 0 && bytes[size - 1] == 0) --size;
    return QuotedConfigText(bytes, size);
}

// For a reader of the TOML: the control characters of a text by their names.
std::string ControlComment(const uint8_t* bytes) {
    std::string out;
    bool any = false;
    for (size_t i = 0; i < 65 && bytes[i]; ++i) {
        const char* name = ControlCharName(bytes[i]);
        if (name) {
            any = true;
            out += "<" + TrimmedText(name) + ">";
        } else if (bytes[i] < 0x80) {
            out += char(bytes[i]);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "<%02X>", bytes[i]);
            out += hex;
        }
    }
    return any ? out : "";
}

// Runs of codes: one or two codes as characters, longer runs as "X-Y".
std::string CharSetValue(const uint8_t* set) {
    const auto& bits = *reinterpret_cast<const CharSet*>(set);
    std::string out;
    for (unsigned c = 0; c < 256; ++c) {
        if (!CharSetHas(bits, c)) continue;
        unsigned last = c;
        while (last + 1 < 256 && CharSetHas(bits, last + 1)) ++last;
        out += out.empty() ? "" : ", ";
        if (last - c >= 2) {
            std::string range = "\"";
            EscapeCode(c, range);
            range += "-";
            EscapeCode(last, range);
            out += range + "\"";
        } else {
            out += QuotedCode(c);
            if (last != c) out += ", " + QuotedCode(last);
        }
        c = last;
    }
    return "[" + out + "]";
}

Entry ValueOf(const ConfigFileContents& c, const ConfigField& f, int port, int item) {
    const uint8_t* bytes = FieldBytes(c, f, port, item);
    switch (f.kind) {
        case FieldKind::List: {
            const long v = FieldValue(c, f, port, item);
            if (v >= 0 && v < ListLength(f))
                return {f.key, "\"" + TrimmedText(f.texts[v]) + "\"", ""};
            return {f.key, std::to_string(v), "not in the list"};
        }
        case FieldKind::Number:
            return {f.key, std::to_string(FieldValue(c, f, port, item)),
                    f.width == FieldWidth::U32 ? "hundredths of a second" : ""};
        case FieldKind::Text:
            return {f.key, TextValue(bytes), ControlComment(bytes)};
        case FieldKind::CharSet:
            return {f.key, CharSetValue(bytes), ""};
    }
    return {};
}

// The sixteen queries, one a line; the empty ones at the end left out.
Entry QueriesOf(const ConfigFileContents& c, const ConfigField& f, int port) {
    int used = 16;
    auto empty = [&](int q) {
        const uint8_t* b = FieldBytes(c, f, port, q);
        for (int i = 0; i < 65; ++i)
            if (b[i]) return false;
        return true;
    };
    while (used > 0 && empty(used - 1)) --used;
    if (used == 0) return {f.key, "[]", ""};
    // No comma after the last: JSON allows none.
    std::string out = "[\n";
    for (int q = 0; q < used; ++q)
        out += "    " + TextValue(FieldBytes(c, f, port, q)) + (q + 1 < used ? ",\n" : "\n");
    return {f.key, out + "]", ""};
}

Table PathTable(const DecodedConfig& d, int port, int path) {
    Table t;
    for (const ConfigField* f = ConfigFieldsBegin(); f != ConfigFieldsEnd(); ++f) {
        if (f->scope != FieldScope::Path || !LayoutHolds(d.layout, *f)) continue;
        // Path 4 has no Continue; a value there is written only to keep it.
        if (f->notOnLastPath && path == 3 && FieldValue(d.contents, *f, port, path) == 0) continue;
        t.entries.push_back(ValueOf(d.contents, *f, port, path));
    }
    return t;
}

Table PortTable(const DecodedConfig& d, int port) {
    Table t;
    for (const ConfigField* f = ConfigFieldsBegin(); f != ConfigFieldsEnd(); ++f) {
        if (!LayoutHolds(d.layout, *f)) continue;
        if (f->scope == FieldScope::Port) t.entries.push_back(ValueOf(d.contents, *f, port, 0));
        if (f->scope == FieldScope::Query) t.entries.push_back(QueriesOf(d.contents, *f, port));
    }
    t.childName = "path";
    for (int k = 0; k < 4; ++k) t.children.push_back(PathTable(d, port, k));
    return t;
}

Table DocumentTable(const DecodedConfig& d) {
    Table t;
    t.entries.push_back({"layout", "\"" + std::string(ConfigLayoutTexts()[int(d.layout)]) + "\"",
                         "the .KOV file's layout"});
    for (const ConfigField* f = ConfigFieldsBegin(); f != ConfigFieldsEnd(); ++f)
        if (f->scope == FieldScope::Module && LayoutHolds(d.layout, *f))
            t.entries.push_back(ValueOf(d.contents, *f, 0, 0));
    t.childName = "port";
    for (int p = 0; p < 4; ++p) t.children.push_back(PortTable(d, p));
    return t;
}

void PrintToml(const Table& t, const std::string& prefix, std::string& out) {
    for (const Entry& e : t.entries) {
        out += e.key + " = " + e.value;
        if (!e.comment.empty()) out += "  # " + e.comment;
        out += "\n";
    }
    const std::string name = prefix.empty() ? t.childName : prefix + "." + t.childName;
    for (const Table& child : t.children) {
        out += "\n[[" + name + "]]\n";
        PrintToml(child, name, out);
    }
}

void PrintJson(const Table& t, const std::string& indent, std::string& out) {
    out += "{\n";
    const std::string inner = indent + "  ";
    for (size_t i = 0; i < t.entries.size(); ++i) {
        std::string value = t.entries[i].value;
        for (size_t at = 0; (at = value.find('\n', at)) != std::string::npos; at += 1)
            value.insert(at + 1, inner);
        out += inner + "\"" + t.entries[i].key + "\": " + value;
        out += i + 1 < t.entries.size() || !t.children.empty() ? ",\n" : "\n";
    }
    if (!t.children.empty()) {
        out += inner + "\"" + t.childName + "\": [\n";
        for (size_t i = 0; i < t.children.size(); ++i) {
            out += inner + "  ";
            PrintJson(t.children[i], inner + "  ", out);
            out += i + 1 < t.children.size() ? ",\n" : "\n";
        }
        out += inner + "]\n";
    }
    out += indent + "}";
}

}  // namespace

std::string QuotedConfigText(const uint8_t* bytes, size_t size) {
    std::string out = "\"";
    for (size_t i = 0; i < size; ++i) EscapeCode(bytes[i], out);
    return out + "\"";
}

std::string ExportConfigText(const DecodedConfig& config, TextFormat format) {
    const Table document = DocumentTable(config);
    std::string out;
    if (format == TextFormat::Json) {
        PrintJson(document, "", out);
        return out + "\n";
    }
    out = "# KOVA module configuration; kova-config import makes the .KOV file of it.\n";
    PrintToml(document, "", out);
    return out;
}
