// A JSON text as the tree of tables the TOML parser gives, so that one
// reader checks both. JSON keeps no positions: its nodes name no line.
#pragma once
#include <toml++/toml.h>

#include <string>
#include <string_view>
#include <vector>

// Whether the text is JSON: it opens with "{" after any white space.
bool IsJsonText(std::string_view text);

// The tree of a JSON object, or false with *errors (a parse error with its
// line, a key given twice in one object), each starting "name:".
bool JsonTree(std::string_view text, const std::string& name, toml::table* root,
              std::vector<std::string>* errors);
