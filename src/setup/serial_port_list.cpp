// Serial port discovery through sysfs.
#include "setup/serial_port_list.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "setup/device_root.h"

namespace fs = std::filesystem;

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A serial-core port reports its UART type; 0 (PORT_UNKNOWN) means none.
bool HasNoUart(const fs::path& tty) {
    std::ifstream in(tty / "type");
    int type = -1;
    return in >> type && type == 0;
}

// The tty a udev link names: its target, one step, taken from the link's
// folder ("../../ttyUSB0"). Only the one step: a tty node may itself be a
// link (a test's pty), which must not lead elsewhere.
std::string TtyOfLink(const fs::path& link) {
    std::error_code error;
    const fs::path target = fs::read_symlink(link, error);
    if (error) return "";
    return (link.parent_path() / target).lexically_normal().filename().string();
}

std::string LabelOf(const std::string& name, const std::string& adapter) {
    if (adapter.empty()) return name;
    const std::string id = fs::path(adapter).filename().string();
    const size_t width = size_t(kSerialPortLabelWidth);
    const size_t room = width - std::min(name.size() + 1, width);
    if (id.size() <= room) return name + " " + id;
    if (room < 2) return name;
    return name + " ~" + id.substr(id.size() - (room - 1));
}

}  // namespace

bool NaturalLess(const std::string& a, const std::string& b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            size_t ei = i, ej = j;
            while (ei < a.size() && IsDigit(a[ei])) ++ei;
            while (ej < b.size() && IsDigit(b[ej])) ++ej;
            std::string da = a.substr(i, ei - i), db = b.substr(j, ej - j);
            da.erase(0, std::min(da.find_first_not_of('0'), da.size() - 1));
            db.erase(0, std::min(db.find_first_not_of('0'), db.size() - 1));
            if (da.size() != db.size()) return da.size() < db.size();
            if (da != db) return da < db;
            i = ei;
            j = ej;
        } else {
            if (a[i] != b[j])
                return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
            ++i;
            ++j;
        }
    }
    if ((a.size() - i) != (b.size() - j)) return a.size() - i < b.size() - j;
    return a < b;  // equal by value ("tty01" and "tty1"): any fixed order
}

std::vector<std::string> ListSerialDevices(const std::string& sysDirectory) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(sysDirectory + "/class/tty", error)) {
        std::error_code ignored;
        if (!fs::exists(entry.path() / "device", ignored)) continue;
        if (HasNoUart(entry.path())) continue;
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end(), NaturalLess);
    return names;
}

SerialPortList SerialPortList::Under(const std::string& root) {
    SerialPortList list;
    list.root_ = DeviceRootOf(root);
    return list;
}

SerialPortList::SerialPortList(const std::vector<std::string>& names,
                               const std::vector<std::string>& adapters, const std::string& root)
    : root_(DeviceRootOf(root)) {
    auto held = std::make_shared<Names>();
    const size_t count = std::min(names.size(), size_t(kSerialPortSlots - 1));
    held->names.assign(names.begin(), names.begin() + std::ptrdiff_t(count));
    for (size_t i = 0; i < count; ++i) {
        held->adapters.push_back(i < adapters.size() ? adapters[i] : "");
        const std::string& adapter = held->adapters.back();
        held->labels.push_back(LabelOf(held->names[i], adapter));
    }
    for (size_t i = 0; i < count; ++i) {
        held->choices.push_back(held->names[i].c_str());
        held->labelled.push_back(held->labels[i].c_str());
    }
    held->choices.push_back(nullptr);
    held->labelled.push_back(nullptr);
    names_ = std::move(held);
}

const char* const* SerialPortList::LabelledChoices() const {
    return names_ ? names_->labelled.data() : Choices();
}

std::string SerialPortList::AdapterAt(int index) const {
    if (index < 0 || index >= Count()) return "";
    return names_->adapters[size_t(index)];
}

int SerialPortList::IndexOfDevice(const std::string& device) const {
    if (device.empty()) return -1;
    const int listed = IndexOf(TtyNameOf(device, root_));
    if (listed >= 0) return listed;
    for (int i = 0; i < Count(); ++i)
        if (names_->adapters[size_t(i)] == device) return i;
    return -1;
}

std::vector<std::string> AdaptersOf(const std::vector<std::string>& names,
                                    const std::string& devDirectory) {
    std::vector<std::string> adapters(names.size());
    // by-path first, so that a by-id name, which follows the adapter to any
    // socket, wins where there is one. Of two names of one kind for one tty
    // the first in order is taken, whatever order the folder lists them in.
    for (const char* kind : {"by-path", "by-id"}) {
        std::vector<std::string> kindNames(names.size());
        std::error_code error;
        const fs::path dir = fs::path(devDirectory) / "serial" / kind;
        for (const auto& entry : fs::directory_iterator(dir, error)) {
            std::error_code ignored;
            if (!entry.is_symlink(ignored)) continue;
            const std::string tty = TtyOfLink(entry.path());
            const std::string link = entry.path().filename().string();
            for (size_t i = 0; i < names.size(); ++i)
                if (names[i] == tty && (kindNames[i].empty() || link < kindNames[i]))
                    kindNames[i] = link;
        }
        for (size_t i = 0; i < names.size(); ++i)
            if (!kindNames[i].empty())
                adapters[i] = std::string("/dev/serial/") + kind + "/" + kindNames[i];
    }
    return adapters;
}

std::string TtyNameOf(const std::string& device, const std::string& root) {
    if (device.find('/') == std::string::npos) return device;
    const std::string dev = "/dev/";
    if (device.compare(0, dev.size(), dev) != 0) return "";
    const fs::path path = DevicePathOf(root, device);
    std::error_code error;
    if (fs::is_symlink(path, error) && device.find("/dev/serial/") == 0) return TtyOfLink(path);
    return device.substr(dev.size());
}

int SerialPortList::Count() const { return names_ ? int(names_->names.size()) : 0; }

const char* SerialPortList::At(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return names_->choices[size_t(index)];
}

int SerialPortList::IndexOf(const std::string& name) const {
    for (int i = 0; i < Count(); ++i)
        if (names_->names[size_t(i)] == name) return i;
    return -1;
}

const char* const* SerialPortList::Choices() const {
    static constexpr const char* kNoChoices[] = {nullptr};
    return names_ ? names_->choices.data() : kNoChoices;
}

SerialPortList ReadSerialPortList(const std::string& root) {
    const std::vector<std::string> names = ListSerialDevices(SysDirectory(root));
    return SerialPortList(names, AdaptersOf(names, DeviceDirectory(root)), root);
}

std::string SerialPortList::PathOf(const char* name) const {
    return DeviceDirectory(root_) + "/" + name;
}
