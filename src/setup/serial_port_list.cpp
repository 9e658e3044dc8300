// Serial port discovery through sysfs.
#include "setup/serial_port_list.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>

#include "setup/device_root.h"

namespace fs = std::filesystem;

const char* SerialPortList[kSerialPortSlots] = {};

namespace {

std::array<std::string, kSerialPortSlots - 1> gNames;

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

void EnumerateSerialPorts() {
    std::fill(std::begin(SerialPortList), std::end(SerialPortList), nullptr);
    auto names = ListSerialDevices(SysDirectory());
    size_t count = std::min(names.size(), gNames.size());
    for (size_t i = 0; i < count; ++i) {
        gNames[i] = names[i];
        SerialPortList[i] = gNames[i].c_str();
    }
}

int SerialPortCount() {
    int n = 0;
    while (n < kSerialPortSlots && SerialPortList[n]) ++n;
    return n;
}

const char* SerialPortAt(int index) {
    if (index < 0 || index >= kSerialPortSlots) return nullptr;
    for (int i = 0; i < index; ++i)
        if (!SerialPortList[i]) return nullptr;
    return SerialPortList[index];
}

std::string SerialPortPath(const char* name) { return DeviceDirectory() + "/" + name; }
