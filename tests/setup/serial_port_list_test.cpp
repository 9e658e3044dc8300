// Serial port discovery over a made-up sysfs tree: which ttys count, their
// natural order, and the 39-name limit of the list; a list read is a value
// that keeps its names whatever is read after it.
#include "setup/serial_port_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/device_root_dir.h"
#include "setup/setup_in_force.h"

namespace fs = std::filesystem;

namespace {

class FakeSysfs : public testing::Test {
  protected:
    void AddTty(const std::string& name, bool device = true, int type = -1) {
        root.AddTty(name, device, type);
    }
    std::string Sys() const { return root.Sys(); }
    DeviceRootDir root{"kova-sysfs"};
};

TEST_F(FakeSysfs, ListsTtysWithADeviceAndAUartInNaturalOrder) {
    AddTty("ttyUSB10");
    AddTty("ttyUSB2");
    AddTty("ttyUSB0");
    AddTty("ttyS0", true, 4);  // a 16550A
    AddTty("ttyS1", true, 0);  // registered, no UART behind it
    AddTty("ttyACM0");
    AddTty("tty5", false);  // virtual console
    AddTty("console", false);
    AddTty("ptmx", false);
    std::vector<std::string> expected = {"ttyACM0", "ttyS0", "ttyUSB0", "ttyUSB2", "ttyUSB10"};
    EXPECT_EQ(expected, ListSerialDevices(Sys()));
}

TEST_F(FakeSysfs, NoTtyDirectoryGivesAnEmptyList) {
    EXPECT_TRUE(ListSerialDevices(root.Path() + "/nowhere").empty());
    const SerialPortList ports = ReadSerialPortList(root.Path() + "/nowhere");
    EXPECT_EQ(0, ports.Count());
    EXPECT_EQ(nullptr, ports.Choices()[0]);
    EXPECT_EQ(nullptr, ports.At(0));
    EXPECT_EQ(-1, ports.IndexOf("ttyUSB0"));
    EXPECT_EQ(nullptr, SerialPortList().Choices()[0]);
}

TEST_F(FakeSysfs, ListKeepsTheFirst39AndEndsWithAnEmptySlot) {
    for (int i = 0; i < 45; ++i) AddTty("ttyUSB" + std::to_string(i));
    const SerialPortList ports = ReadSerialPortList(root.Path());
    ASSERT_EQ(39, ports.Count());
    EXPECT_STREQ("ttyUSB0", ports.Choices()[0]);
    EXPECT_STREQ("ttyUSB38", ports.Choices()[38]);
    EXPECT_EQ(nullptr, ports.Choices()[39]);
    EXPECT_STREQ("ttyUSB38", ports.At(38));
    EXPECT_EQ(nullptr, ports.At(39));
    EXPECT_EQ(nullptr, ports.At(-1));
    EXPECT_EQ(38, ports.IndexOf("ttyUSB38"));
    EXPECT_EQ(-1, ports.IndexOf("ttyUSB39"));
    EXPECT_EQ(root.Path() + "/dev/ttyUSB5", ports.PathOf("ttyUSB5"));
}

// Each list opens its devices under the root it was read under, and settings
// read again under their list's root: two roots can live side by side.
TEST_F(FakeSysfs, AListKeepsTheDeviceRootItWasReadUnder) {
    AddTty("ttyUSB0");
    DeviceRootDir other{"kova-sysfs-other"};
    other.AddTty("ttyACM0");
    const SerialPortList here = ReadSerialPortList(root.Path() + "/");
    const SerialPortList there = ReadSerialPortList(other.Path());
    EXPECT_EQ(root.Path(), here.Root());
    EXPECT_EQ(root.Path() + "/dev/ttyUSB0", here.PathOf("ttyUSB0"));
    EXPECT_EQ(other.Path() + "/dev/ttyACM0", there.PathOf("ttyACM0"));
    EXPECT_EQ(0, here.IndexOfDevice("/dev/ttyUSB0"));
    EXPECT_EQ("/dev/ttyUSB0", SerialPortList().PathOf("ttyUSB0"));

    SetupInForce settings;
    settings.ports = SerialPortList::Under(other.Path());
    ReadSetupPorts(settings);
    ASSERT_EQ(1, settings.ports.Count());
    EXPECT_STREQ("ttyACM0", settings.ports.At(0));
    EXPECT_EQ(other.Path(), settings.ports.Root());
}

TEST_F(FakeSysfs, ReadingAgainForgetsPortsThatWentAwayAndTheOldListKeepsThem) {
    AddTty("ttyUSB0");
    AddTty("ttyUSB1");
    const SerialPortList before = ReadSerialPortList(root.Path());
    const char* const* choices = before.Choices();
    ASSERT_EQ(2, before.Count());
    fs::remove_all(root.Path() + "/sys/class/tty/ttyUSB0");
    const SerialPortList now = ReadSerialPortList(root.Path());
    ASSERT_EQ(1, now.Count());
    EXPECT_STREQ("ttyUSB1", now.Choices()[0]);
    EXPECT_EQ(nullptr, now.At(1));
    EXPECT_EQ(0, now.IndexOf("ttyUSB1"));
    EXPECT_EQ(choices, before.Choices());
    EXPECT_STREQ("ttyUSB0", choices[0]);
    EXPECT_STREQ("ttyUSB1", choices[1]);
    EXPECT_EQ(nullptr, choices[2]);
}

// A form holds the choices of its list while it runs; the list may be copied
// or moved on meanwhile.
TEST(SerialPortListValue, ChoicesStayValidWhileACopyLives) {
    const char* const* choices = nullptr;
    SerialPortList kept;
    {
        SerialPortList read({"ttyS0", "ttyUSB0"});
        choices = read.Choices();
        kept = read;
        SerialPortList moved = std::move(read);
        EXPECT_EQ(choices, moved.Choices());
    }
    EXPECT_EQ(choices, kept.Choices());
    EXPECT_STREQ("ttyS0", choices[0]);
    EXPECT_STREQ("ttyUSB0", choices[1]);
    EXPECT_EQ(nullptr, choices[2]);
    EXPECT_EQ(1, kept.IndexOf("ttyUSB0"));
}

TEST(NaturalOrder, DigitRunsCompareByValue) {
    struct Case {
        const char* a;
        const char* b;
        bool less;
    } cases[] = {
        {"ttyUSB2", "ttyUSB10", true}, {"ttyUSB10", "ttyUSB2", false},
        {"ttyACM0", "ttyS0", true},    {"ttyS0", "ttyUSB0", true},
        {"ttyS9", "ttyS10", true},     {"ttyUSB1", "ttyUSB1", false},
        {"ttyUSB", "ttyUSB0", true},   {"ttyUSB0", "ttyUSB", false},
        {"ttyS01", "ttyS1", true},     {"ttyS1", "ttyS01", false},
        {"rfcomm0", "ttyS0", true},    {"ttyUSB1a", "ttyUSB1b", true},
    };
    for (const auto& c : cases) EXPECT_EQ(c.less, NaturalLess(c.a, c.b)) << c.a << " < " << c.b;
}

// Adapters by the udev links under dev/serial: by-id where there is one,
// else by-path; a port is found by any of its names, and by nothing else.
TEST_F(FakeSysfs, PortsShowTheirAdaptersAndAreFoundByAnyOfTheirNames) {
    AddTty("ttyS0", true, 4);
    AddTty("ttyUSB0");
    AddTty("ttyUSB1");
    const std::string byPath0 =
        root.AddAdapter("by-path", "pci-0000:00:14.0-usb-0:2:1.0-port0", "ttyUSB0");
    const std::string byPath1 =
        root.AddAdapter("by-path", "pci-0000:00:14.0-usb-0:3:1.0-port0", "ttyUSB1");
    const std::string byId1 =
        root.AddAdapter("by-id", "usb-FTDI_FT232R_A50285BI-if00-port0", "ttyUSB1");
    // A second name of one adapter: the first in order is shown.
    const std::string byIdToo = root.AddAdapter("by-id", "usb-ZZ_second_name-port0", "ttyUSB1");
    const SerialPortList list = ReadSerialPortList(root.Path());
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.AdapterAt(0), "");
    EXPECT_EQ(list.AdapterAt(1), byPath0);
    EXPECT_EQ(list.AdapterAt(2), byId1);
    EXPECT_EQ(list.AdapterAt(3), "");
    EXPECT_STREQ(list.LabelledChoices()[0], "ttyS0");
    // An adapter's name longer than the label's room keeps its end.
    EXPECT_STREQ(list.LabelledChoices()[2], "ttyUSB1 ~32R_A50285BI-if00-port0");
    EXPECT_STREQ(
        SerialPortList({"ttyUSB1"}, {"/dev/serial/by-id/usb-FTDI_A5-port0"}).LabelledChoices()[0],
        "ttyUSB1 usb-FTDI_A5-port0");
    for (int i = 0; i < list.Count(); ++i)
        EXPECT_LE(std::strlen(list.LabelledChoices()[i]), size_t(kSerialPortLabelWidth));
    EXPECT_EQ(list.LabelledChoices()[3], nullptr);
    EXPECT_STREQ(list.Choices()[2], "ttyUSB1");  // the names stay the names
    const struct {
        std::string device;
        int index;
    } cases[] = {
        {"ttyUSB1", 2},    {"/dev/ttyUSB1", 2},
        {byId1, 2},        {byIdToo, 2},
        {byPath1, 2},      {byPath0, 1},
        {"/dev/ttyS0", 0}, {"/dev/serial/by-id/usb-Prolific_gone-if00-port0", -1},
        {"ttyUSB7", -1},   {"/tmp/ttyUSB1", -1},
        {"", -1},
    };
    for (const auto& c : cases) EXPECT_EQ(list.IndexOfDevice(c.device), c.index) << c.device;
}

}  // namespace
