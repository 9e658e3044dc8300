// Reading the text form: the TOML is parsed by toml++, then every key is
// looked up in the field table and every value checked against its row. All
// problems are collected, each with the file, line and field.
#include <toml++/toml.h>

#include <cstdio>
#include <cstring>

#include "config/config_defaults.h"
#include "config/config_fields.h"
#include "config/config_json_tree.h"
#include "config/config_text.h"
#include "text/utf8.h"

namespace {

constexpr int kPortCount = 4, kPathCount = 4, kQueryCount = 16, kTextBytes = 65;

// A string's characters as bytes: every code point up to U+00FF is one byte.
// False with the first code point that is not.
bool BytesOfString(std::string_view utf8, std::string& bytes, unsigned& bad) {
    bytes.clear();
    for (size_t at = 0; at < utf8.size();) {
        const char32_t code = NextCharacter(utf8, at);
        if (code > 0xFF) return bad = unsigned(code), false;
        bytes += char(code);
    }
    return true;
}

class Importer {
  public:
    Importer(const std::string& name, bool strict) : name_(name), strict_(strict) {
        ModuleConfig defaults;
        FillDefaults(defaults);
        contents_ = DocumentOf(defaults, 3, 0);
    }

    ImportedConfig Run(std::string_view text) {
        toml::table root;
        if (IsJsonText(text)) {
            if (!JsonTree(text, name_, &root, &result_.errors)) return Take();
        } else {
            try {
                root = toml::parse(text, name_);
            } catch (const toml::parse_error& e) {
                Error(e.source().begin.line, "", std::string(e.description()));
                return Take();
            }
        }
        Layout(root);
        Module(root);
        Ports(root);
        if (result_.errors.empty()) {
            contents_.version = LayoutVersion();
            result_.config = DecodedConfig{layout_, contents_};
        }
        return Take();
    }

  private:
    ImportedConfig Take() { return std::move(result_); }

    void Error(long line, const std::string& where, const std::string& what) {
        std::string at = name_;
        if (line > 0) at += ":" + std::to_string(line);
        result_.errors.push_back(at + ": " + (where.empty() ? "" : where + ": ") + what);
    }

    // A field left out: the default, said; with strict, refused.
    void LeftOut(long line, const std::string& where) {
        if (strict_)
            Error(line, where, "left out (--strict)");
        else
            result_.notes.push_back(name_ + ": " + where + ": left out, taking the default");
    }

    static long LineOf(const toml::node& node) { return long(node.source().begin.line); }

    int16_t LayoutVersion() const {
        const char* text = ConfigLayoutTexts()[int(layout_)];
        return text[0] == '1' ? int16_t(std::atoi(text)) : 0;
    }

    void Layout(const toml::table& root) {
        const toml::node* node = root.get("layout");
        if (!node) return LeftOut(1, "layout");
        const char* const* texts = ConfigLayoutTexts();
        for (int i = 0; texts[i]; ++i) {
            if (node->value_exact<std::string>() == std::string(texts[i]) ||
                (texts[i][0] == '1' && node->value_exact<int64_t>() == std::atoi(texts[i]))) {
                layout_ = ConfigLayout(i);
                return;
            }
        }
        Error(LineOf(*node), "layout",
              "not one of \"1113\", \"1112\", \"1111\", \"unversioned\", \"unversioned short\"");
    }

    // Each key of a table: a field of the scope, or one of the extra keys
    // (the layout, the port and path tables); anything else is refused.
    void UnknownKeys(const toml::table& table, FieldScope scope, const std::string& at,
                     std::initializer_list<const char*> extra) {
        for (auto&& [key, node] : table) {
            const std::string k(key.str());
            bool known = FindConfigField(scope, k) ||
                         (scope == FieldScope::Port && FindConfigField(FieldScope::Query, k));
            for (const char* e : extra) known = known || k == e;
            if (!known) Error(long(key.source().begin.line), at + k, "unknown field");
        }
    }

    void Fields(const toml::table& table, FieldScope scope, int port, int item,
                const std::string& at) {
        for (const ConfigField* f = ConfigFieldsBegin(); f != ConfigFieldsEnd(); ++f) {
            if (f->scope != scope && !(scope == FieldScope::Port && f->scope == FieldScope::Query))
                continue;
            const std::string where = at + f->key;
            const toml::node* node = table.get(f->key);
            if (!LayoutHolds(layout_, *f)) {
                if (node)
                    Error(LineOf(*node), where,
                          std::string("the layout ") + ConfigLayoutTexts()[int(layout_)] +
                              " does not hold it");
                continue;
            }
            if (!node) {
                // Path 4's Continue is no value of the module's: nothing to say.
                if (!(f->notOnLastPath && item == kPathCount - 1)) LeftOut(LineOf(table), where);
                continue;
            }
            if (f->scope == FieldScope::Query)
                Queries(*f, *node, port, where);
            else
                Value(*f, *node, port, item, where);
        }
    }

    void Module(const toml::table& root) {
        UnknownKeys(root, FieldScope::Module, "", {"layout", "port"});
        Fields(root, FieldScope::Module, 0, 0, "");
    }

    // An array of tables under key, at most count of them; nullptr when the
    // key is missing or wrong (said).
    const toml::array* Tables(const toml::table& parent, const char* key, size_t count,
                              const std::string& at) {
        const toml::node* node = parent.get(key);
        if (!node) return nullptr;
        const toml::array* array = node->as_array();
        if (!array || !array->is_array_of_tables()) {
            Error(LineOf(*node), at + key, std::string("expected [[") + key + "]] tables");
            return nullptr;
        }
        if (array->size() > count)
            Error(LineOf((*array)[count]), at + key + " " + std::to_string(count + 1),
                  "there are only " + std::to_string(count));
        return array;
    }

    void Ports(const toml::table& root) {
        const toml::array* ports = Tables(root, "port", kPortCount, "");
        for (int p = 0; p < kPortCount; ++p) {
            const std::string at = "port " + std::to_string(p + 1);
            if (!ports || size_t(p) >= ports->size()) {
                LeftOut(ports ? LineOf(*ports) : 1, at);
                continue;
            }
            const toml::table& port = *(*ports)[size_t(p)].as_table();
            UnknownKeys(port, FieldScope::Port, at + " ", {"path"});
            Fields(port, FieldScope::Port, p, 0, at + " ");
            Paths(port, p, at + " ");
        }
    }

    void Paths(const toml::table& port, int p, const std::string& at) {
        const toml::array* paths = Tables(port, "path", kPathCount, at);
        for (int k = 0; k < kPathCount; ++k) {
            const std::string pathAt = at + "path " + std::to_string(k + 1);
            if (!paths || size_t(k) >= paths->size()) {
                LeftOut(paths ? LineOf(*paths) : LineOf(port), pathAt);
                continue;
            }
            const toml::table& path = *(*paths)[size_t(k)].as_table();
            UnknownKeys(path, FieldScope::Path, pathAt + " ", {});
            Fields(path, FieldScope::Path, p, k, pathAt + " ");
        }
    }

    void Value(const ConfigField& f, const toml::node& node, int port, int item,
               const std::string& where) {
        switch (f.kind) {
            case FieldKind::List:
                return List(f, node, port, item, where);
            case FieldKind::Number:
                return Number(f, node, port, item, where);
            case FieldKind::Text:
                return Text(node, FieldBytes(contents_, f, port, item), where);
            case FieldKind::CharSet:
                return Set(node, FieldBytes(contents_, f, port, item), where);
        }
    }

    void List(const ConfigField& f, const toml::node& node, int port, int item,
              const std::string& where) {
        const int length = ListLength(f);
        if (auto number = node.value_exact<int64_t>()) {
            if (*number >= 0 && *number < length)
                return SetFieldValue(contents_, f, port, item, long(*number));
            return Error(LineOf(node), where + " = " + std::to_string(*number),
                         "out of range 0-" + std::to_string(length - 1));
        }
        std::string choices;
        for (int i = 0; i < length; ++i) {
            const std::string text = TrimmedText(f.texts[i]);
            if (node.value_exact<std::string>() == text)
                return SetFieldValue(contents_, f, port, item, i);
            choices += (i ? ", \"" : "\"") + text + "\"";
        }
        const auto text = node.value_exact<std::string>();
        Error(LineOf(node), where + (text ? " = \"" + *text + "\"" : ""),
              "not one of " + choices + " or 0-" + std::to_string(length - 1));
    }

    void Number(const ConfigField& f, const toml::node& node, int port, int item,
                const std::string& where) {
        const auto number = node.value_exact<int64_t>();
        if (!number) return Error(LineOf(node), where, "not a whole number");
        if (*number < f.low || *number > f.high)
            return Error(LineOf(node), where + " = " + std::to_string(*number),
                         "out of range " + std::to_string(f.low) + "-" + std::to_string(f.high));
        SetFieldValue(contents_, f, port, item, long(*number));
    }

    // At most 64 characters before the first zero; what follows a zero (up
    // to the 65th byte) is kept as a file holds it.
    void Text(const toml::node& node, uint8_t* field, const std::string& where) {
        const auto text = node.value_exact<std::string>();
        if (!text) return Error(LineOf(node), where, "not a string");
        std::string bytes;
        unsigned bad = 0;
        if (!BytesOfString(*text, bytes, bad)) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", bad);
            return Error(LineOf(node), where,
                         std::string("character ") + code + " is not one byte (U+0000-U+00FF)");
        }
        const size_t length = strnlen(bytes.c_str(), bytes.size());
        if (length > kTextBytes - 1 || bytes.size() > kTextBytes)
            return Error(LineOf(node), where,
                         std::to_string(std::max(length, bytes.size())) +
                             " characters: too long, at most 64");
        std::memset(field, 0, kTextBytes);
        std::memcpy(field, bytes.data(), bytes.size());
    }

    void Queries(const ConfigField& f, const toml::node& node, int port, const std::string& where) {
        const toml::array* array = node.as_array();
        if (!array) return Error(LineOf(node), where, "expected a list of strings");
        if (array->size() > kQueryCount)
            Error(LineOf((*array)[kQueryCount]), where + " " + std::to_string(kQueryCount + 1),
                  "there are only 16");
        for (int q = 0; q < kQueryCount; ++q) {
            uint8_t* field = FieldBytes(contents_, f, port, q);
            std::memset(field, 0, kTextBytes);
            if (size_t(q) < array->size())
                Text((*array)[size_t(q)], field, where + " " + std::to_string(q + 1));
        }
    }

    // One element of a character set: a code, a character, or "X-Y".
    bool SetElement(const toml::node& element, CharSet& set, const std::string& where) {
        if (auto code = element.value_exact<int64_t>()) {
            if (*code < 0 || *code > 255) return false;
            CharSetPut(set, unsigned(*code), true);
            return true;
        }
        const auto text = element.value_exact<std::string>();
        std::string bytes;
        unsigned bad = 0;
        if (!text || !BytesOfString(*text, bytes, bad)) return false;
        const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
        if (bytes.size() == 1) {
            CharSetPut(set, b[0], true);
            return true;
        }
        if (bytes.size() != 3 || b[1] != '-') return false;
        if (b[0] > b[2]) {
            Error(LineOf(element), where, "range \"" + *text + "\" runs backwards");
            return true;
        }
        for (unsigned c = b[0]; c <= b[2]; ++c) CharSetPut(set, c, true);
        return true;
    }

    void Set(const toml::node& node, uint8_t* field, const std::string& where) {
        const toml::array* array = node.as_array();
        if (!array) return Error(LineOf(node), where, "expected a list of characters and ranges");
        CharSet set{};
        for (const toml::node& element : *array)
            if (!SetElement(element, set, where))
                Error(LineOf(element), where,
                      "expected a character, a range such as \"a-z\" or a code 0-255");
        std::memcpy(field, set, sizeof set);
    }

    std::string name_;
    bool strict_;
    ConfigFileContents contents_;
    ConfigLayout layout_ = ConfigLayout::V1113;
    ImportedConfig result_;
};

}  // namespace

ImportedConfig ImportConfigText(std::string_view text, const std::string& name, bool strict) {
    return Importer(name, strict).Run(text);
}
