// One backup at a time into a folder: two runs at once would both find the
// same change and record it twice, and race for the same files. The lock is
// an flock on the folder itself, held for the run's life: the kernel lets go
// of it however the process ends, and it leaves no file behind.
#pragma once
#include <functional>
#include <string>

class BackupFolderLock {
  public:
    BackupFolderLock() = default;
    ~BackupFolderLock();
    BackupFolderLock(const BackupFolderLock&) = delete;
    BackupFolderLock& operator=(const BackupFolderLock&) = delete;

    // Takes the folder's lock; when another run holds it, calls waiting with
    // its holder ("pid 4242") and waits for it. False with *error when the
    // folder cannot be opened or locked.
    bool Take(const std::string& dir, const std::function<void(const std::string&)>& waiting,
              std::string* error);

  private:
    int fd_ = -1;
};
