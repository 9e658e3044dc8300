// Serial ports for tests: pty pairs offered under a scratch device root, as
// the program sees real ones. The test holds the master side and plays the
// far end.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "common/device_root_dir.h"
#include "common/pty_pair.h"
#include "setup/setup_in_force.h"

class PtyPorts {
  public:
    PtyPorts() = default;
    PtyPorts(const PtyPorts&) = delete;
    PtyPorts& operator=(const PtyPorts&) = delete;

    // A port named name whose far end is a new pty master; returns the master.
    int Add(const std::string& name) {
        pairs_.push_back(std::make_unique<PtyPair>());
        AddName(name, pairs_.back()->SlavePath());
        return pairs_.back()->Master();
    }
    // A listed port whose device node points at target (which may not exist).
    void AddName(const std::string& name, const std::string& target) {
        root_.AddPort(name, target);
    }
    // A udev link naming the port's adapter (dev/serial/KIND/NAME); returns
    // its name as the system knows it.
    std::string AddAdapter(const std::string& kind, const std::string& name,
                           const std::string& tty) {
        return root_.AddAdapter(kind, name, tty);
    }
    void RemoveAdapter(const std::string& kind, const std::string& name) {
        root_.RemoveAdapter(kind, name);
    }
    // Makes the settings' port list look here and lists the ports again.
    void Use(SetupInForce& settings) {
        settings.ports = SerialPortList::Under(root_.Path());
        ReadSetupPorts(settings);
    }
    int SlaveKeeper(size_t index) const { return pairs_.at(index)->SlaveKeeper(); }
    PtyPair& Pair(size_t index) { return *pairs_.at(index); }
    const std::string& Root() const { return root_.Path(); }

  private:
    DeviceRootDir root_;
    std::vector<std::unique_ptr<PtyPair>> pairs_;
};
