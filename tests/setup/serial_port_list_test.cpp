// Serial port discovery over a made-up sysfs tree: which ttys count, their
// natural order, and the 39-name limit of the list.
#include "setup/serial_port_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/device_root_dir.h"
#include "setup/device_root.h"

namespace fs = std::filesystem;

namespace {

class FakeSysfs : public testing::Test {
  protected:
    void TearDown() override {
        SetDeviceRoot("");
        EnumerateSerialPorts();
    }
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
    SetDeviceRoot(root.Path() + "/nowhere");
    EnumerateSerialPorts();
    EXPECT_EQ(0, SerialPortCount());
    EXPECT_EQ(nullptr, SerialPortList[0]);
    EXPECT_EQ(nullptr, SerialPortAt(0));
}

TEST_F(FakeSysfs, ListKeepsTheFirst39AndEndsWithAnEmptySlot) {
    for (int i = 0; i < 45; ++i) AddTty("ttyUSB" + std::to_string(i));
    SetDeviceRoot(root.Path());
    EnumerateSerialPorts();
    ASSERT_EQ(39, SerialPortCount());
    EXPECT_STREQ("ttyUSB0", SerialPortList[0]);
    EXPECT_STREQ("ttyUSB38", SerialPortList[38]);
    EXPECT_EQ(nullptr, SerialPortList[39]);
    EXPECT_STREQ("ttyUSB38", SerialPortAt(38));
    EXPECT_EQ(nullptr, SerialPortAt(39));
    EXPECT_EQ(nullptr, SerialPortAt(-1));
    EXPECT_EQ(root.Path() + "/dev/ttyUSB5", SerialPortPath("ttyUSB5"));
}

TEST_F(FakeSysfs, EnumeratingAgainForgetsPortsThatWentAway) {
    AddTty("ttyUSB0");
    AddTty("ttyUSB1");
    SetDeviceRoot(root.Path());
    EnumerateSerialPorts();
    ASSERT_EQ(2, SerialPortCount());
    fs::remove_all(root.Path() + "/sys/class/tty/ttyUSB0");
    EnumerateSerialPorts();
    ASSERT_EQ(1, SerialPortCount());
    EXPECT_STREQ("ttyUSB1", SerialPortList[0]);
    EXPECT_EQ(nullptr, SerialPortAt(1));
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

}  // namespace
