// The list of this computer's serial ports that the link and terminal
// settings pick from: the ttys the kernel lists under /sys/class/tty with a
// device behind them, in natural order (ttyUSB2 before ttyUSB10). A list is
// a value read at one moment under one device root (see device_root.h); the
// settings name a port by its place in it, and the list says which device
// that is.
#pragma once
#include <memory>
#include <string>
#include <vector>

constexpr int kSerialPortSlots = 40;  // 39 names and the empty slot that ends them
constexpr int kSerialPortLabelWidth = 32;

class SerialPortList {
  public:
    SerialPortList() = default;  // no ports, on the real system
    // No ports yet, under a device root: what reading the list again reads.
    static SerialPortList Under(const std::string& root);
    // The first 39 names, in the order given, each with the stable name of
    // its adapter where it has one (adapters[i] for names[i]; "" or missing
    // for none): "/dev/serial/by-id/usb-FTDI_...-if00-port0".
    explicit SerialPortList(const std::vector<std::string>& names,
                            const std::vector<std::string>& adapters = {},
                            const std::string& root = "");

    // The device root the list was read under ("" the real system).
    const std::string& Root() const { return root_; }
    // The device to open for a listed name.
    std::string PathOf(const char* name) const;

    int Count() const;
    // The name at an index, or null outside the list.
    const char* At(int index) const;
    // The place of a name, or -1 when it is not listed.
    int IndexOf(const std::string& name) const;
    // The names ending with a null, as a choice list takes them. Copies share
    // the names, so the pointers stay valid while any copy lives.
    const char* const* Choices() const;
    // The same with each port's adapter after its name, at most
    // kSerialPortLabelWidth characters: "ttyUSB0 usb-FTDI_FT232R_A50285BI"; an
    // adapter's name too long for it keeps its end (the serial number and
    // the port of a multi-port adapter), "ttyUSB0 ~UART_A50285BI-if00-port0".
    const char* const* LabelledChoices() const;

    // The stable name of the adapter at an index ("" when it has none, or
    // outside the list).
    std::string AdapterAt(int index) const;
    // The place of the port a device name leads to: a listed name, its /dev
    // path, or a /dev/serial/by-id or by-path name of its adapter; -1 when it
    // leads to no listed port.
    int IndexOfDevice(const std::string& device) const;

  private:
    struct Names {
        std::vector<std::string> names, adapters, labels;
        std::vector<const char*> choices, labelled;
    };
    std::shared_ptr<const Names> names_;
    std::string root_;
};

// The ports listed now under a device root, with their adapters.
SerialPortList ReadSerialPortList(const std::string& root = "");

// The udev links of the adapters under devDirectory/serial/by-id and
// by-path: for each tty name the stable name of its adapter, given as the
// system knows it ("/dev/serial/by-id/NAME"), by-id where there is one.
std::vector<std::string> AdaptersOf(const std::vector<std::string>& names,
                                    const std::string& devDirectory);

// The tty name a device name leads to: the name itself for a bare name; for
// a path under /dev (also /dev/serial/by-id/..., a link one step to its tty,
// as udev makes them, read under root) the name of the node it names. "" for
// any other path.
std::string TtyNameOf(const std::string& device, const std::string& root = "");

// The serial ttys under sysDirectory/class/tty, naturally ordered. A tty
// counts when it has a device behind it; a serial-core port whose type is 0
// has no UART (the legacy ttyS ports the kernel always registers) and is
// left out.
std::vector<std::string> ListSerialDevices(const std::string& sysDirectory);
// Digit runs compare by value, other text by bytes.
bool NaturalLess(const std::string& a, const std::string& b);
