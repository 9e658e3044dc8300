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

SerialPortList::SerialPortList(const std::vector<std::string>& names) {
    auto held = std::make_shared<Names>();
    const size_t count = std::min(names.size(), size_t(kSerialPortSlots - 1));
    held->names.assign(names.begin(), names.begin() + std::ptrdiff_t(count));
    for (const std::string& name : held->names) held->choices.push_back(name.c_str());
    held->choices.push_back(nullptr);
    names_ = std::move(held);
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

SerialPortList ReadSerialPortList() { return SerialPortList(ListSerialDevices(SysDirectory())); }

std::string SerialPortPath(const char* name) { return DeviceDirectory() + "/" + name; }
