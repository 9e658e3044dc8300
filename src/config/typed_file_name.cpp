#include "config/typed_file_name.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

namespace {

bool IsRegular(const std::string& dir, const std::string& name) {
    struct stat st;
    return ::stat((dir + "/" + name).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// 0 the exact name, 1 the typed part exact and the rest in another case, 2
// only equal ignoring case.
int Closeness(const std::string& entry, const TypedFileName& name) {
    if (entry == name.file) return 0;
    return entry.compare(0, name.typedLength, name.file, 0, name.typedLength) == 0 ? 1 : 2;
}

}  // namespace

TypedFileName NameAsTyped(const std::string& typed, const std::string& extension) {
    const size_t dot = typed.rfind('.');
    if (dot != std::string::npos && dot > 0) return {typed, typed.size()};
    return {typed + extension, typed.size()};
}

std::optional<std::string> FindTypedFile(const std::string& dir, const TypedFileName& name) {
    if (name.file.empty() || name.file.find('/') != std::string::npos) return std::nullopt;
    if (IsRegular(dir, name.file)) return name.file;
    DIR* d = ::opendir(dir.c_str());
    if (!d) return std::nullopt;
    std::optional<std::string> best;
    int bestCloseness = 3;
    while (dirent* e = ::readdir(d)) {
        const std::string entry = e->d_name;
        if (::strcasecmp(entry.c_str(), name.file.c_str()) != 0 || !IsRegular(dir, entry)) continue;
        const int closeness = Closeness(entry, name);
        if (closeness < bestCloseness || (closeness == bestCloseness && entry < *best)) {
            best = entry;
            bestCloseness = closeness;
        }
    }
    ::closedir(d);
    return best;
}

std::string ResolveTypedName(const std::string& typed, const std::string& extension) {
    const TypedFileName name = NameAsTyped(typed, extension);
    return FindTypedFile(".", name).value_or(name.file);
}
