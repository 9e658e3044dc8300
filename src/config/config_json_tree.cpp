// JSON read by nlohmann-json and rebuilt as toml++ nodes. The parser keeps
// the last of two equal keys; the callback sees every key as it comes, so a
// repeated one is refused as the TOML parser refuses it.
#include "config/config_json_tree.h"

#include <nlohmann/json.hpp>
#include <set>

namespace {

using Json = nlohmann::json;

std::unique_ptr<toml::node> NodeOf(const Json& j);

toml::array ArrayOf(const Json& j) {
    toml::array array;
    for (const Json& element : j) {
        auto node = NodeOf(element);
        if (node) array.push_back(std::move(*node));
    }
    return array;
}

toml::table TableOf(const Json& j) {
    toml::table table;
    for (auto it = j.begin(); it != j.end(); ++it) {
        auto node = NodeOf(it.value());
        if (node) table.insert(it.key(), std::move(*node));
    }
    return table;
}

// null has no TOML counterpart: an empty array stands for it, which every
// field refuses as the wrong type.
std::unique_ptr<toml::node> NodeOf(const Json& j) {
    if (j.is_object()) return std::make_unique<toml::table>(TableOf(j));
    if (j.is_array()) return std::make_unique<toml::array>(ArrayOf(j));
    if (j.is_string()) return std::make_unique<toml::value<std::string>>(j.get<std::string>());
    if (j.is_boolean()) return std::make_unique<toml::value<bool>>(j.get<bool>());
    if (j.is_number_integer() && !j.is_number_unsigned())
        return std::make_unique<toml::value<int64_t>>(j.get<int64_t>());
    if (j.is_number_unsigned()) {
        const uint64_t v = j.get<uint64_t>();
        if (v <= uint64_t(INT64_MAX)) return std::make_unique<toml::value<int64_t>>(int64_t(v));
        return std::make_unique<toml::value<double>>(double(v));
    }
    if (j.is_number_float()) return std::make_unique<toml::value<double>>(j.get<double>());
    return std::make_unique<toml::array>();
}

long LineAt(std::string_view text, size_t byte) {
    long line = 1;
    for (size_t i = 0; i < byte && i < text.size(); ++i) line += text[i] == '\n';
    return line;
}

}  // namespace

bool IsJsonText(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && text[first] == '{';
}

bool JsonTree(std::string_view text, const std::string& name, toml::table* root,
              std::vector<std::string>* errors) {
    std::vector<std::set<std::string>> keys;
    const auto seen = [&](int, Json::parse_event_t event, Json& parsed) {
        if (event == Json::parse_event_t::object_start) keys.emplace_back();
        if (event == Json::parse_event_t::object_end && !keys.empty()) keys.pop_back();
        if (event == Json::parse_event_t::key && !keys.empty() &&
            !keys.back().insert(parsed.get<std::string>()).second)
            errors->push_back(name + ": " + parsed.get<std::string>() +
                              ": given twice in one table");
        return true;
    };
    Json json;
    try {
        json = Json::parse(text.begin(), text.end(), seen);
    } catch (const Json::parse_error& e) {
        std::string what = e.what();
        // "[json.exception.parse_error.101] parse error at line 3, column 5: ..."
        const size_t colon = what.find(": ");
        errors->push_back(name + ":" + std::to_string(LineAt(text, e.byte > 0 ? e.byte - 1 : 0)) +
                          ": " + (colon == std::string::npos ? what : what.substr(colon + 2)));
        return false;
    }
    if (!errors->empty()) return false;
    if (!json.is_object()) {
        errors->push_back(name + ": expected an object");
        return false;
    }
    *root = TableOf(json);
    return true;
}
