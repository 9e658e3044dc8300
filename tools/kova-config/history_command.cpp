// history DIR NAME: the versions of a module's configuration that backup
// --history kept, newest first, each with when it was saved, when a change
// replaced it and how many fields that change touched; the latest file on top.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "backup_history.h"
#include "backup_list.h"
#include "commands.h"
#include "common/printable.h"
#include "config/disk_file.h"

namespace {

struct Version {
    std::string file;
    std::string saved;     // the file's modification time
    std::string replaced;  // from its stamp; "-" for the latest
    std::string fields;    // lines of its .diff; "-" for the latest, "?" without one
    std::string order;     // sorts oldest first
};

std::string LocalTime(std::time_t t) {
    std::tm local{};
    localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

// "20261210T140307" or "20261210T140307-2": its time as the table shows it
// and a key that sorts the same-second changes by their number.
bool ParseStamp(const std::string& stem, std::string* shown, std::string* order) {
    if (stem.size() < 15 || stem[8] != 'T') return false;
    for (size_t i = 0; i < 15; ++i)
        if (i != 8 && !std::isdigit(static_cast<unsigned char>(stem[i]))) return false;
    int number = 1;
    if (stem.size() > 15) {
        if (stem[15] != '-' || stem.size() > 20) return false;
        for (size_t i = 16; i < stem.size(); ++i)
            if (!std::isdigit(static_cast<unsigned char>(stem[i]))) return false;
        number = std::stoi(stem.substr(16));
    }
    *shown = stem.substr(0, 4) + "-" + stem.substr(4, 2) + "-" + stem.substr(6, 2) + " " +
             stem.substr(9, 2) + ":" + stem.substr(11, 2) + ":" + stem.substr(13, 2);
    char key[32];
    std::snprintf(key, sizeof key, "%s%05d", stem.substr(0, 15).c_str(), number);
    *order = key;
    return true;
}

std::string FieldCount(const std::string& diffPath) {
    const auto bytes = ReadFilePrefix(diffPath, 1 << 20);
    if (!bytes) return "?";
    return std::to_string(std::count(bytes->begin(), bytes->end(), '\n'));
}

bool RegularFile(const std::string& path, struct stat* st) {
    return ::lstat(path.c_str(), st) == 0 && S_ISREG(st->st_mode);
}

std::vector<Version> KeptVersions(const std::string& folder) {
    std::vector<Version> versions;
    DIR* d = ::opendir(folder.c_str());
    if (!d) return versions;
    while (dirent* e = ::readdir(d)) {
        const std::string entry = e->d_name;
        if (entry.size() < 5 || entry.compare(entry.size() - 4, 4, ".KOV") != 0) continue;
        const std::string stem = entry.substr(0, entry.size() - 4);
        Version v;
        struct stat st;
        if (!ParseStamp(stem, &v.replaced, &v.order) || !RegularFile(folder + "/" + entry, &st))
            continue;
        v.file = folder + "/" + entry;
        v.saved = LocalTime(st.st_mtime);
        v.fields = FieldCount(folder + "/" + stem + ".diff");
        versions.push_back(v);
    }
    ::closedir(d);
    std::sort(versions.begin(), versions.end(),
              [](const Version& a, const Version& b) { return a.order > b.order; });
    return versions;
}

void PrintVersions(const std::vector<Version>& versions) {
    size_t file = 4;
    for (const Version& v : versions) file = std::max(file, v.file.size());
    std::printf("%-19s  %-19s  %6s  %s\n", "SAVED", "REPLACED", "FIELDS", "FILE");
    for (const Version& v : versions)
        std::printf("%-19s  %-19s  %6s  %s\n", v.saved.c_str(), v.replaced.c_str(),
                    v.fields.c_str(), tools::Printable(v.file).c_str());
    std::fflush(stdout);
}

}  // namespace

int RunHistory(const ConfigOptions& options) {
    const std::string& dir = options.operands[0];
    const std::string& name = options.operands[1];
    if (!IsModuleName(name)) {
        std::fprintf(stderr, "kova-config: \"%s\" is not a module name (letters, digits, - _ . )\n",
                     tools::Printable(name).c_str());
        return kExitTrouble;
    }
    std::vector<Version> versions;
    struct stat st;
    const std::string latest = dir + "/" + name + ".KOV";
    if (RegularFile(latest, &st))
        versions.push_back({latest, LocalTime(st.st_mtime), "-", "-", ""});
    // A kept name that is still the latest file itself is a change a
    // killed run began and never made: not a version.
    for (const Version& v : KeptVersions(HistoryFolder(dir, name)))
        if (versions.empty() || !SameFile(v.file, st)) versions.push_back(v);
    if (versions.empty()) {
        std::fprintf(stderr, "kova-config: no backup of %s in %s\n", name.c_str(),
                     tools::Printable(dir).c_str());
        return kExitTrouble;
    }
    PrintVersions(versions);
    return kExitOk;
}
