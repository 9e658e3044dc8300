// A file name as the user typed it in a file dialog: case, "-", "_" and dots
// kept, any length; the dialog's extension added when the name has none. The
// file it stands for is the entry of that exact name when there is one; else
// the same name in another case, preferring an entry whose typed part is
// written exactly as typed (so "plant" finds plant.kov before PLANT.KOV,
// while "LOWER" still finds lower.kov).
#pragma once
#include <optional>
#include <string>

struct TypedFileName {
    std::string file;    // the name to create, with the extension
    size_t typedLength;  // how much of it the user typed
};

// The name with extension (".KOV") added when it has none. A dot that starts
// the name (a hidden file) is not an extension.
TypedFileName NameAsTyped(const std::string& typed, const std::string& extension);

// The regular file in dir (or a link to one) that the typed name stands for:
// the exact name; else, of the entries equal ignoring case, one whose typed
// part matches exactly; else any; ties in byte order. None when nothing
// matches or the name holds a "/".
std::optional<std::string> FindTypedFile(const std::string& dir, const TypedFileName& name);

// The name to open in the current directory: the entry found, else the name
// as typed with its extension.
std::string ResolveTypedName(const std::string& typed, const std::string& extension);
