// Case-insensitive lookup, bounded reads and replace-by-rename saves.
#include "config/disk_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace {

bool IsRegularFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string Join(const std::string& dir, const std::string& name) {
    if (dir.empty() || dir == ".") return name;
    return dir.back() == '/' ? dir + name : dir + "/" + name;
}

std::string DirOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

// umask can only be read by setting it; doing that once, before any other
// save, keeps saves on several threads from seeing each other's 0.
mode_t ProcessUmask() {
    static const mode_t mask = [] {
        mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    return mask;
}

// The temporary files of saves under way, in fixed slots a signal handler can
// read without allocating or locking. A slot holds its name before the file
// is created and until it is renamed or removed, so no moment leaves a
// temporary file that no slot names (a name not yet created is harmless).
struct PendingSave {
    std::atomic<bool> claimed{false};
    std::atomic<bool> live{false};
    char path[4096];
};
PendingSave gPending[16];

// The temporary file's name template in a free slot, or null when all are in
// use (the save then goes on unguarded).
PendingSave* ClaimPendingSave(const std::string& temp) {
    if (temp.size() >= sizeof gPending[0].path) return nullptr;
    for (auto& slot : gPending) {
        bool expected = false;
        if (!slot.claimed.compare_exchange_strong(expected, true)) continue;
        std::snprintf(slot.path, sizeof slot.path, "%s", temp.c_str());
        slot.live.store(true);
        return &slot;
    }
    return nullptr;
}

void ReleasePendingSave(PendingSave* slot) {
    if (!slot) return;
    slot->live.store(false);
    slot->claimed.store(false);
}

// Creates the temporary file beside path, named in a slot first.
int CreateTemporary(const std::string& path, std::string* temp, PendingSave** slot) {
    *temp = path + ".XXXXXX";
    *slot = ClaimPendingSave(*temp);
    char* name = *slot ? (*slot)->path : temp->data();
    // O_CREAT | O_EXCL (which mkostemp adds) never follows a link at the
    // name; O_NOFOLLOW says so once more.
    int fd = ::mkostemp(name, O_CLOEXEC | O_NOFOLLOW);
    if (*slot) *temp = (*slot)->path;
    return fd;
}

// The file a save through path must replace: path itself, or where the chain
// of symbolic links starting at it ends, so that a link kept as "the current
// file" stays a link and its target gets the new contents.
std::string FollowLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {  // the kernel's own limit on a chain
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::string target(size_t(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n <= 0 || size_t(n) >= target.size()) return path;  // changed under us
        target.resize(size_t(n));
        path = target[0] == '/' ? target : Join(DirOf(path), target);
    }
    return path;
}

}  // namespace

void RemovePendingSaveFiles() {
    for (auto& slot : gPending)
        if (slot.live.load()) ::unlink(slot.path);
}

std::optional<std::string> FindEntryIgnoringCase(const std::string& dir, const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos) return std::nullopt;
    if (IsRegularFile(Join(dir, name))) return name;
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return std::nullopt;
    std::optional<std::string> best;
    while (dirent* e = ::readdir(d)) {
        std::string entry = e->d_name;
        if (::strcasecmp(entry.c_str(), name.c_str()) != 0) continue;
        if (!IsRegularFile(Join(dir, entry))) continue;
        if (!best || entry < *best) best = entry;
    }
    ::closedir(d);
    return best;
}

std::string ResolveName(const std::string& name) {
    return FindEntryIgnoringCase(".", name).value_or(name);
}

std::string ResolvePath(const std::string& path) {
    const std::string dir = path.substr(0, path.rfind('/') + 1);
    auto entry = FindEntryIgnoringCase(dir.empty() ? "." : dir, path.substr(dir.size()));
    return entry ? dir + *entry : path;
}

namespace {

std::optional<std::vector<uint8_t>> ReadPrefixOf(int fd, size_t maxBytes) {
    std::vector<uint8_t> bytes(maxBytes);
    size_t done = 0;
    bool failed = false;
    while (done < maxBytes) {
        ssize_t n = ::read(fd, bytes.data() + done, maxBytes - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) failed = true;
        if (n <= 0) break;
        done += size_t(n);
    }
    const int readError = errno;
    ::close(fd);
    if (failed) {
        errno = readError;
        return std::nullopt;
    }
    bytes.resize(done);
    return bytes;
}

}  // namespace

std::optional<std::vector<uint8_t>> ReadFilePrefix(const std::string& path, size_t maxBytes) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    return ReadPrefixOf(fd, maxBytes);
}

std::optional<std::vector<uint8_t>> ReadKeptFilePrefix(const std::string& path, size_t maxBytes) {
    // Not blocking in the open: a FIFO without a writer would hold it.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct stat st;
    int refusal = 0;
    if (::fstat(fd, &st) != 0)
        refusal = errno;
    else if (!S_ISREG(st.st_mode))
        refusal = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    if (refusal) {
        ::close(fd);
        errno = refusal;
        return std::nullopt;
    }
    return ReadPrefixOf(fd, maxBytes);
}

SaveResult SaveFileReplacing(const std::string& name, const std::vector<uint8_t>& bytes,
                             AtLink atLink) {
    struct stat existing;
    if (atLink == AtLink::Refuse && ::lstat(name.c_str(), &existing) == 0 &&
        S_ISLNK(existing.st_mode)) {
        errno = ELOOP;
        return SaveResult::CannotOpen;
    }
    const std::string path = atLink == AtLink::Follow ? FollowLinks(name) : name;
    const std::string dir = DirOf(path);
    // Only a plain file is replaced: a directory (or a device, a pipe) of that
    // name cannot be opened for writing as a file.
    if (::stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode))
        return SaveResult::CannotOpen;
    // Replacing by rename would get past a write-protected file; refuse it as
    // opening it for writing would.
    if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0)
        return SaveResult::CannotOpen;
    std::string temp;
    PendingSave* slot = nullptr;
    int fd = CreateTemporary(path, &temp, &slot);
    if (fd < 0) {
        ReleasePendingSave(slot);
        return SaveResult::CannotOpen;
    }
    // mkostemp creates the file private; give it the mode a plain create
    // would have (or the old file's mode when it is replaced).
    struct stat old;
    mode_t mode;
    if (::stat(path.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        mode = 0666 & ~ProcessUmask();
    }
    ::fchmod(fd, mode);
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok || ::rename(temp.c_str(), path.c_str()) != 0) {
        const int reason = errno;
        ::unlink(temp.c_str());
        ReleasePendingSave(slot);
        errno = reason;
        return SaveResult::ShortWrite;
    }
    ReleasePendingSave(slot);
    // The rename itself is only durable once the directory is flushed.
    int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return SaveResult::Saved;
}
