// A scratch device root laid out as the program looks for serial ports: a tty
// under sys/class/tty (with a device behind it when it is real hardware) and
// its node under dev. Removed, with everything in it, when it goes.
#pragma once
#include <string>

class DeviceRootDir {
  public:
    explicit DeviceRootDir(const std::string& prefix = "kova-ports");
    ~DeviceRootDir();
    DeviceRootDir(const DeviceRootDir&) = delete;
    DeviceRootDir& operator=(const DeviceRootDir&) = delete;

    const std::string& Path() const { return root_; }
    std::string Sys() const { return root_ + "/sys"; }
    std::string Dev() const { return root_ + "/dev"; }

    // A listed port whose node under dev is a link to target (which may not
    // exist, or may be a pty's slave).
    void AddPort(const std::string& name, const std::string& target);
    // Only the sysfs side: with a device behind it unless device is false, and
    // with a serial-core type attribute when type >= 0.
    void AddTty(const std::string& name, bool device = true, int type = -1);
    // A udev link of an adapter: dev/serial/KIND/NAME leading to ../../TTY,
    // as udev makes them (KIND "by-id" or "by-path"). Returns the name as the
    // system knows it, "/dev/serial/KIND/NAME".
    std::string AddAdapter(const std::string& kind, const std::string& name,
                           const std::string& tty);
    // Takes the link away, as when the adapter is unplugged.
    void RemoveAdapter(const std::string& kind, const std::string& name);

  private:
    std::string root_;
};
