// A configuration as text, for review and version control: every field of
// the document by its stable name (config_fields.h), ports and paths as tables
// in order, texts with their control characters escaped, character sets as
// lists of characters and ranges, list values as their texts. The file layout
// and the words kept as read are part of it, so a text made from a file makes
// that file again byte for byte.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_file_image.h"

enum class TextFormat { Toml, Json };

// The text of a decoded file (or of a module's configuration, layout 1113).
std::string ExportConfigText(const DecodedConfig& config, TextFormat format);

struct ImportedConfig {
    std::optional<DecodedConfig> config;  // nothing when any error was found
    // "plant.toml:41: port 2 path 1 register_count = 65: out of range 0-64"
    std::vector<std::string> errors;
    // Fields left out, which took the defaults: "plant.toml: port 3: left out,
    // taking the defaults". With strict they are errors instead.
    std::vector<std::string> notes;
};

// Reads a TOML text, or the JSON an export writes (name: the file's name in
// messages). Everything is checked: unknown and repeated fields, values out
// of range or not in their list, texts too long, fields the layout does not
// hold. JSON keeps no positions: its messages name the field but no line
// (a parse error excepted).
ImportedConfig ImportConfigText(std::string_view text, const std::string& name, bool strict);

// A field's text as the text form writes it: a quoted string, each byte one
// character (bytes 80-FF as U+0080-U+00FF), control characters, quotes and
// backslashes escaped. Valid in TOML and JSON alike.
std::string QuotedConfigText(const uint8_t* bytes, size_t size);
