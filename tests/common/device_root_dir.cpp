// Scratch device roots for tests.
#include "common/device_root_dir.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

DeviceRootDir::DeviceRootDir(const std::string& prefix) {
    std::string pattern = "/tmp/" + prefix + "-XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    fs::create_directories(root_ + "/sys/class/tty");
    fs::create_directories(root_ + "/dev");
}

DeviceRootDir::~DeviceRootDir() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

void DeviceRootDir::AddPort(const std::string& name, const std::string& target) {
    AddTty(name);
    fs::create_symlink(target, root_ + "/dev/" + name);
}

void DeviceRootDir::AddTty(const std::string& name, bool device, int type) {
    std::string dir = root_ + "/sys/class/tty/" + name;
    fs::create_directories(dir);
    if (device) fs::create_directories(dir + "/device");
    if (type >= 0) std::ofstream(dir + "/type") << type << "\n";
}

std::string DeviceRootDir::AddAdapter(const std::string& kind, const std::string& name,
                                      const std::string& tty) {
    const std::string dir = root_ + "/dev/serial/" + kind;
    fs::create_directories(dir);
    fs::create_symlink("../../" + tty, dir + "/" + name);
    return "/dev/serial/" + kind + "/" + name;
}

void DeviceRootDir::RemoveAdapter(const std::string& kind, const std::string& name) {
    fs::remove(root_ + "/dev/serial/" + kind + "/" + name);
}
