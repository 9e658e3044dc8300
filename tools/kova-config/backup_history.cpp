// The old file is kept by a hard link (or, where the file system has none,
// a rename that refuses to replace), before the new one is renamed over the
// name: at every moment DIR/NAME.KOV holds one whole configuration. Until
// that rename the change can still be taken back, and it is on any failure;
// the process-wide recording lock lets an ending signal wait for it.
#include "backup_history.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <optional>

#include "config/config_diff.h"
#include "config/config_text.h"
#include "config/disk_file.h"
#include "write_targets.h"

namespace {

std::string Reason(int error) { return std::string(" (") + std::strerror(error) + ")"; }

// The earlier file's bytes, read without following a link (a link there has
// been refused already; one planted since is not read either). nullopt when
// there is none; an unreadable file is an error.
bool ReadEarlier(const std::string& path, std::optional<std::vector<uint8_t>>* bytes,
                 std::string* error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) return true;
    if (fd < 0) return *error = "cannot read " + path + Reason(errno), false;
    std::vector<uint8_t> data(kConfigFileSize + 1);
    size_t done = 0;
    for (ssize_t n; done < data.size(); done += size_t(n)) {
        n = ::read(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            n = 0;
        else if (n <= 0)
            break;
    }
    ::close(fd);
    data.resize(done);
    *bytes = std::move(data);
    return true;
}

// A folder of the history: made when missing, and refused when it is a
// symbolic link or no folder, so that nothing is written where a link leads.
bool RealFolder(const std::string& path, std::string* error) {
    if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
        return *error = "cannot make the folder " + path + Reason(errno), false;
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0)
        return *error = "cannot make the folder " + path + Reason(errno), false;
    if (S_ISLNK(st.st_mode)) return *error = path + " is a symbolic link", false;
    if (!S_ISDIR(st.st_mode)) return *error = path + " is not a folder", false;
    return true;
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

// STAMP, or STAMP-2, STAMP-3, ... when a change of the same second is kept.
std::string FreeName(const std::string& folder, const std::string& stamp) {
    std::string name = stamp;
    const auto taken = [&folder](const std::string& n) {
        return Exists(folder + "/" + n + ".KOV") || Exists(folder + "/" + n + ".diff") ||
               Exists(folder + "/" + n + ".toml");
    };
    for (int n = 2; taken(name); ++n)
        name = stamp + "-" + std::to_string(n);
    return name;
}

// The old file under its kept name, never replacing anything there. *moved:
// it was renamed, not linked, and DIR/NAME.KOV is gone until the new one
// takes its place.
bool KeepOld(const std::string& path, const std::string& kept, bool* moved, std::string* error) {
    *moved = false;
    if (::link(path.c_str(), kept.c_str()) == 0) return true;
    if (errno == EEXIST) return *error = kept + " exists", false;
    // No hard links here (some network and FAT file systems): move it.
    if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, kept.c_str(), RENAME_NOREPLACE) == 0)
        return *moved = true, true;
    return *error = "cannot keep " + path + " as " + kept + Reason(errno), false;
}

// A change whose new file could not be put in place was not made: its kept
// file, diff and text go, and a moved old file returns to its name.
void TakeBack(const std::string& path, const std::string& kept, bool moved) {
    const std::string stem = kept.substr(0, kept.size() - 4);
    ::unlink((stem + ".diff").c_str());
    ::unlink((stem + ".toml").c_str());
    if (moved)
        ::renameat2(AT_FDCWD, kept.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE);
    else
        ::unlink(kept.c_str());
}

// A run ended by SIGKILL or a crash between keeping the old file and
// replacing it leaves the kept name a second link of DIR/NAME.KOV itself:
// a change that never happened. Such names (and their diffs) are taken back
// before anything is recorded.
void TakeBackUnfinished(const std::string& path, const std::string& folder) {
    struct stat latest;
    if (::lstat(path.c_str(), &latest) != 0 || latest.st_nlink < 2) return;
    for (const std::string& kept : SameFileIn(folder, latest)) TakeBack(path, kept, false);
}

std::mutex& RecordingLock() {
    static std::mutex* lock = new std::mutex;  // a signal's thread may take it during exit
    return *lock;
}

// What a backup writes: the current layout.
DecodedConfig LatestOf(const ConfigFileContents& fetched) {
    return DecodedConfig{ConfigLayout::V1113, fetched};
}

// The text copy of an unchanged file is written only where it is missing or
// no longer the file's text (a folder backed up before without --text).
bool RenewTextCopy(const std::string& path, const DecodedConfig& file, std::string* error) {
    const std::string text = ExportConfigText(file, TextFormat::Toml);
    const auto held = ReadFilePrefix(TextCopyPath(path), text.size() + 1);
    if (held && std::string(held->begin(), held->end()) == text) return true;
    return SaveTextCopy(path, file, error);
}

std::string DiffText(const ConfigFileContents& before, const ConfigFileContents& after, bool plus,
                     int* fields) {
    std::string text;
    const std::vector<ConfigDifference> differences = CompareConfigs(before, after, plus);
    for (const ConfigDifference& d : differences) text += DifferenceLine(d) + "\n";
    *fields = int(differences.size());
    return text;
}

}  // namespace

std::string HistoryStamp(std::time_t t) {
    std::tm local{};
    localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%S", &local);
    return text;
}

std::optional<int> FieldsChanged(const std::string& path, const ConfigFileContents& fetched,
                                 bool plus) {
    std::optional<std::vector<uint8_t>> bytes;
    std::string ignored;
    if (!ReadEarlier(path, &bytes, &ignored) || !bytes) return std::nullopt;
    auto earlier = DecodeConfigFile(bytes->data(), bytes->size());
    if (!earlier) return std::nullopt;
    return int(CompareConfigs(earlier->contents, fetched, plus).size());
}

std::string HistoryFolder(const std::string& dir, const std::string& name) {
    return (std::filesystem::path(dir) / "history" / name).string();
}

bool SameFile(const std::string& a, const struct stat& b) {
    struct stat st;
    return ::lstat(a.c_str(), &st) == 0 && st.st_dev == b.st_dev && st.st_ino == b.st_ino;
}

std::vector<std::string> SameFileIn(const std::string& folder, const struct stat& file) {
    std::vector<std::string> found;
    DIR* d = ::opendir(folder.c_str());
    if (!d) return found;
    while (const dirent* e = ::readdir(d)) {
        const std::string entry = e->d_name;
        if (entry.size() > 4 && entry.compare(entry.size() - 4, 4, ".KOV") == 0 &&
            SameFile(folder + "/" + entry, file))
            found.push_back(folder + "/" + entry);
    }
    ::closedir(d);
    return found;
}

void StopRecordingChanges() { RecordingLock().lock(); }

std::string TextCopyPath(const std::string& kovPath) {
    return std::filesystem::path(kovPath).replace_extension(".toml").string();
}

bool SaveTextCopy(const std::string& kovPath, const DecodedConfig& config, std::string* error) {
    const std::string text = ExportConfigText(config, TextFormat::Toml);
    return SaveRefusingLinks(TextCopyPath(kovPath), std::vector<uint8_t>(text.begin(), text.end()),
                             error);
}

namespace {

// Records the change: the old file kept, its diff beside it, the new file in
// its place; all of it, or (on any failure) none of it.
// With text, the old file's text (where it was a configuration) is kept
// beside it, and the new file's written beside it once it is in place.
bool RecordChange(const std::string& dir, const std::string& name, const std::string& path,
                  const ConfigFileContents& fetched, const std::string& diff, bool text,
                  const std::optional<DecodedConfig>& earlier, HistoryResult* result,
                  std::string* error) {
    const std::string folder = HistoryFolder(dir, name);
    const std::string history = (std::filesystem::path(dir) / "history").string();
    if (!RealFolder(history, error) || !RealFolder(folder, error)) return false;
    TakeBackUnfinished(path, folder);
    const std::string kept = folder + "/" + FreeName(folder, HistoryStamp(std::time(nullptr)));
    result->kept = kept + ".KOV";
    bool moved = false;
    if (!KeepOld(path, result->kept, &moved, error)) return false;
    if (SaveRefusingLinks(kept + ".diff", std::vector<uint8_t>(diff.begin(), diff.end()), error) &&
        (!text || !earlier || SaveTextCopy(result->kept, *earlier, error)) &&
        SaveKovFile(path, fetched, true, error))
        return !text || SaveTextCopy(path, LatestOf(fetched), error);
    TakeBack(path, result->kept, moved);
    return false;
}

}  // namespace

bool KeepHistory(const std::string& dir, const std::string& name, const ConfigFileContents& fetched,
                 bool plus, HistoryResult* result, std::string* error, bool text) {
    const std::string path = (std::filesystem::path(dir) / (name + ".KOV")).string();
    // One change at a time, and none while a signal ends the run: what is
    // recorded is recorded whole before the process ends.
    const std::lock_guard<std::mutex> recording(RecordingLock());
    if (!MayWriteKovFile(path, true, error)) return false;
    std::optional<std::vector<uint8_t>> bytes;
    if (!ReadEarlier(path, &bytes, error)) return false;
    if (!bytes) {
        result->change = HistoryChange::New;
        return SaveKovFile(path, fetched, true, error) &&
               (!text || SaveTextCopy(path, LatestOf(fetched), error));
    }
    auto earlier = DecodeConfigFile(bytes->data(), bytes->size());
    std::string diff;
    if (earlier) {
        diff = DiffText(earlier->contents, fetched, plus, &result->changedFields);
        if (diff.empty()) {
            result->change = HistoryChange::Unchanged;
            return !text || RenewTextCopy(path, *earlier, error);
        }
    } else {
        diff = path + ": no configuration file (" + std::to_string(bytes->size()) +
               " bytes); replaced whole\n";
    }
    result->change = HistoryChange::Changed;
    return RecordChange(dir, name, path, fetched, diff, text, earlier, result, error);
}
