// Serial ports for tests: pty pairs offered under a scratch device root, as
// the program sees real ones (a tty under sys/class/tty with a device, a node
// under dev). The test holds the master side and plays the far end.
#pragma once
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "setup/device_root.h"
#include "setup/serial_port_list.h"

class PtyPorts {
  public:
    PtyPorts() {
        char pattern[] = "/tmp/kova-ports-XXXXXX";
        if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
        root_ = pattern;
        std::filesystem::create_directories(root_ + "/sys/class/tty");
        std::filesystem::create_directories(root_ + "/dev");
    }
    ~PtyPorts() {
        for (int fd : fds_) close(fd);
        SetDeviceRoot("");
        EnumerateSerialPorts();
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    PtyPorts(const PtyPorts&) = delete;
    PtyPorts& operator=(const PtyPorts&) = delete;

    // A port named name whose far end is a new pty master; returns the master.
    int Add(const std::string& name) {
        int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master < 0 || grantpt(master) || unlockpt(master)) throw std::runtime_error("pty");
        std::string slave = ptsname(master);
        int keeper = open(slave.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);  // no hang-ups
        termios t;
        tcgetattr(keeper, &t);
        cfmakeraw(&t);
        tcsetattr(keeper, TCSANOW, &t);
        fds_.push_back(master);
        fds_.push_back(keeper);
        keepers_.push_back(keeper);
        AddName(name, slave);
        return master;
    }
    // A listed port whose device node points at target (which may not exist).
    void AddName(const std::string& name, const std::string& target) {
        std::filesystem::create_directories(root_ + "/sys/class/tty/" + name + "/device");
        std::filesystem::create_symlink(target, root_ + "/dev/" + name);
    }
    // Makes the program look here and lists the ports again.
    void Use() {
        SetDeviceRoot(root_);
        EnumerateSerialPorts();
    }
    int SlaveKeeper(size_t index) const { return keepers_.at(index); }
    const std::string& Root() const { return root_; }

  private:
    std::string root_;
    std::vector<int> fds_;
    std::vector<int> keepers_;
};
