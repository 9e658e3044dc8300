// The list of this computer's serial ports that the link and terminal
// settings pick from: the ttys the kernel lists under /sys/class/tty with a
// device behind them, in natural order (ttyUSB2 before ttyUSB10). A list is
// a value read at one moment; the settings name a port by its place in it.
#pragma once
#include <memory>
#include <string>
#include <vector>

constexpr int kSerialPortSlots = 40;  // 39 names and the empty slot that ends them

class SerialPortList {
  public:
    SerialPortList() = default;  // no ports
    // The first 39 names, in the order given.
    explicit SerialPortList(const std::vector<std::string>& names);

    int Count() const;
    // The name at an index, or null outside the list.
    const char* At(int index) const;
    // The place of a name, or -1 when it is not listed.
    int IndexOf(const std::string& name) const;
    // The names ending with a null, as a choice list takes them. Copies share
    // the names, so the pointers stay valid while any copy lives.
    const char* const* Choices() const;

  private:
    struct Names {
        std::vector<std::string> names;
        std::vector<const char*> choices;
    };
    std::shared_ptr<const Names> names_;
};

// The ports listed now under the device root.
SerialPortList ReadSerialPortList();

// The device to open for a listed name.
std::string SerialPortPath(const char* name);

// The serial ttys under sysDirectory/class/tty, naturally ordered. A tty
// counts when it has a device behind it; a serial-core port whose type is 0
// has no UART (the legacy ttyS ports the kernel always registers) and is
// left out.
std::vector<std::string> ListSerialDevices(const std::string& sysDirectory);
// Digit runs compare by value, other text by bytes.
bool NaturalLess(const std::string& a, const std::string& b);
