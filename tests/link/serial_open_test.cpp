// Opening serial links on pty pairs: line settings as set, routes, and the
// reasons an open fails.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "common/child_process.h"
#include "common/pty_pair.h"
#include "common/sim_process.h"
#include "link/link_state.h"
#include "link/serial_device.h"
#include "link/serial_termios.h"
#include "link/uucp_lock.h"

namespace {

struct OpenLink {
    explicit OpenLink(LinkHandle l) : owner(std::move(l)), link(owner.get()) {}
    LinkHandle owner;
    Link* link;
};

LineSettings SlaveSettings(const PtyPair& pty) {
    LineSettings settings;
    ReadLineSettings(pty.Master(), &settings);  // a pty master reports its slave's settings
    return settings;
}

TEST(SerialOpen, OpensAtNineSixHundredOneStopBitWithCtsFlow) {
    PtyPair pty;
    OpenLink l(OpenModbusRtuLink(pty.SlavePath().c_str(), 1));
    ASSERT_NE(l.link, nullptr);
    LineSettings s = SlaveSettings(pty);  // a pty keeps rate, stop bits and flow control only
    EXPECT_EQ(s.baud, 9600u);
    EXPECT_EQ(s.stopBits, 1);
    EXPECT_TRUE(s.ctsFlow);
}

// The module's rates, the faster ones of the program's lists, and rates of
// no list that adapters take (DMX's 250000, a megabaud).
TEST(SerialOpen, EveryRateOfTheListsAndAnyOtherIsSetExactly) {
    const int rates[] = {50,    75,    110,    135,    150,    300,    600,    1200,
                         1800,  2400,  3600,   4800,   7200,   9600,   14400,  19200,
                         38400, 57600, 115200, 230400, 460800, 921600, 250000, 1000000};
    PtyPair pty;
    OpenLink l(OpenSyMaxLink(pty.SlavePath().c_str(), 0, LinkRoute{}));
    ASSERT_NE(l.link, nullptr);
    for (int rate : rates) {
        ASSERT_EQ(SetSerialParameters(l.link, rate, 0, 1, 500, 8), 1);
        EXPECT_EQ(SlaveSettings(pty).baud, unsigned(rate));
    }
}

TEST(SerialOpen, StopBitsAndTimeoutFollowTheArguments) {
    PtyPair pty;
    OpenLink l(OpenModbusAsciiLink(pty.SlavePath().c_str(), 1));
    ASSERT_NE(l.link, nullptr);
    for (int stop : {2, 1, 3, 2, 0}) {
        SetSerialParameters(l.link, 4800, 1, stop, 70 + stop, 8);
        EXPECT_EQ(SlaveSettings(pty).stopBits, stop == 2 ? 2 : 1) << stop;
        EXPECT_EQ(l.link->replyTimeout, 70 + stop);
    }
}

// A port that has gone (a USB adapter pulled out) cannot take new settings:
// the caller hears why instead of a success. The timeout is kept all the same.
TEST(SerialOpen, SettingsForAVanishedPortFailWithTheReason) {
    PtyPair pty;
    OpenLink l(OpenModbusRtuLink(pty.SlavePath().c_str(), 1));
    ASSERT_NE(l.link, nullptr);
    ASSERT_EQ(SetSerialParameters(l.link, 19200, 1, 1, 100, 8), 1);
    pty.CloseMaster();
    // The reader notices the hang-up on its next poll.
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int result = 1;
    while (result && std::chrono::steady_clock::now() < end)
        result = SetSerialParameters(l.link, 9600, 1, 1, 70, 8);
    EXPECT_EQ(result, 0);
    EXPECT_STREQ(LinkErrorText(l.link), "Can't set port parameters: No such device");
    EXPECT_EQ(l.link->replyTimeout, 70);
}

TEST(LineSettingsEncoding, ParityCodesDataAndStopBits) {
    struct Case {
        int parity, dataBits, stopBits;
        int wantParity;
    } const cases[] = {
        {ParityNone, 8, 1, ParityNone}, {ParityEven, 7, 2, ParityEven},
        {ParityOdd, 8, 1, ParityOdd},   {ParitySpace, 7, 1, ParitySpace},
        {ParityMark, 8, 2, ParityMark}, {9, 8, 1, ParityOdd},
    };
    TermiosFlags flags{};
    LineSettings odd;
    odd.parity = ParityOdd;
    EncodeLineSettings(&flags, odd);
    for (const Case& c : cases) {  // code 9 keeps whatever parity was set before
        LineSettings s;
        s.baud = 7200;
        s.parity = c.parity;
        s.dataBits = c.dataBits;
        s.stopBits = c.stopBits;
        s.ctsFlow = c.dataBits == 8;
        TermiosFlags f = flags;
        EncodeLineSettings(&f, s);
        LineSettings back = DecodeLineSettings(f);
        EXPECT_EQ(back.parity, c.wantParity) << c.parity;
        EXPECT_EQ(back.dataBits, c.dataBits);
        EXPECT_EQ(back.stopBits, c.stopBits);
        EXPECT_EQ(back.baud, 7200u);
        EXPECT_EQ(back.ctsFlow, s.ctsFlow);
    }
}

// A driver that cannot divide its clock to a rate sets the nearest one it
// can, or falls back to another: within 2 % the line still works, beyond it
// the port has refused the rate.
TEST(LineRates, ARateSetWithinTwoPercentIsTaken) {
    struct Case {
        unsigned asked, actual;
        bool taken;
    } const cases[] = {
        {9600, 9600, true},      {250000, 250000, true},    {921600, 923077, true},
        {115200, 117000, true},  {115200, 117647, false},   {1000000, 9600, false},
        {921600, 460800, false}, {3000000, 3062500, false}, {134, 134, true},
        {50, 52, false},
    };
    for (const Case& c : cases) EXPECT_EQ(RateTaken(c.asked, c.actual), c.taken) << c.asked;
    EXPECT_EQ(LineSettingsFailure(kRateRefused, 1000000), "the port does not take 1000000 baud");
}

TEST(ReadInterval, EndsAReadAfterFourCharactersAndAPause) {
    struct Case {
        unsigned baud, ms;
    } const cases[] = {{50, 3083}, {75, 2057},  {110, 1403}, {135, 1144}, {150, 1030}, {300, 517},
                       {600, 260}, {1200, 132}, {1800, 89},  {2400, 68},  {3600, 46},  {4800, 36},
                       {7200, 25}, {9600, 20},  {14400, 14}, {19200, 12}};
    for (const Case& c : cases) EXPECT_EQ(ReadIntervalMs(c.baud), c.ms) << c.baud;
}

TEST(SerialOpen, NetToNetPutsTheComputedDropFirst) {
    struct Case {
        LinkRoute route;
        bool opens;
        LinkRoute linkRoute;
    } const cases[] = {
        {{2, {25, 3}}, true, {3, {125, 25, 3}}},
        {{2, {130, 3}}, true, {3, {30, 130, 3}}},
        {{7, {1, 2, 3, 4, 5, 6, 7}}, true, {8, {101, 1, 2, 3, 4, 5, 6, 7}}},
        {{8, {1, 2, 3, 4, 5, 6, 7, 8}}, false, {}},
    };
    PtyPair pty;
    for (const Case& c : cases) {
        std::string reason;
        OpenLink l(OpenSyMaxLink(pty.SlavePath().c_str(), 1, c.route, &reason));
        ASSERT_EQ(l.link != nullptr, c.opens) << reason;
        if (!l.link) continue;
        EXPECT_EQ(l.link->route.count, c.linkRoute.count);
        for (int i = 0; i < c.linkRoute.count; ++i)
            EXPECT_EQ(l.link->route.entries[i], c.linkRoute.entries[i]);
    }
}

TEST(SerialOpen, FailuresSayWhy) {
    PtyPair pty;
    OpenLink holder(OpenSyMaxLink(pty.SlavePath().c_str(), 0, LinkRoute{}));
    ASSERT_NE(holder.link, nullptr);
    struct Case {
        std::string port;
        std::string reasonStart;
    } const cases[] = {
        {"ttyKOVA_NONE9", "Port /dev/ttyKOVA_NONE9 not found"},
        {"/dev/null", "/dev/null is not a serial port"},
        {pty.SlavePath(),
         "Port " + pty.SlavePath() + " is busy: held by process " + std::to_string(getpid())},
    };
    for (const Case& c : cases) {
        std::string reason;
        EXPECT_EQ(OpenModbusRtuLink(c.port.c_str(), 1, &reason), nullptr);
        EXPECT_EQ(reason.substr(0, c.reasonStart.size()), c.reasonStart) << reason;
    }
}

TEST(SerialOpen, AStaleLockFileIsTakenOverAndRemovedAtClose) {
    PtyPair pty;
    std::string name = pty.SlavePath().substr(5);
    for (char& ch : name) ch = ch == '/' ? '_' : ch;
    std::string lock = "/run/lock/LCK.." + name;
    if (access("/run/lock", W_OK) != 0) GTEST_SKIP() << "/run/lock is not writable here";
    FILE* f = fopen(lock.c_str(), "w");
    ASSERT_NE(f, nullptr);
    fprintf(f, "%10d\n", 999999999);  // no such process
    fclose(f);
    LinkHandle owner = OpenModbusRtuLink(pty.SlavePath().c_str(), 1);
    Link* link = owner.get();
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(access(lock.c_str(), F_OK), 0);
    owner.reset();
    EXPECT_NE(access(lock.c_str(), F_OK), 0);
}

}  // namespace

namespace {

TEST(SerialNames, DeviceNamesAndTheirLockFiles) {
    struct Case {
        const char* port;
        const char* device;
        const char* lock;
    } const cases[] = {
        {"ttyUSB0", "/dev/ttyUSB0", "/run/lock/LCK..ttyUSB0"},
        {"ttyUSB10", "/dev/ttyUSB10",
         "/run/lock/LCK..ttyUSB10"},  // the whole name, not 7 characters
        {"ttyACM0", "/dev/ttyACM0", "/run/lock/LCK..ttyACM0"},
        {"/dev/ttyS1", "/dev/ttyS1", "/run/lock/LCK..ttyS1"},
        {"/dev/pts/7", "/dev/pts/7", "/run/lock/LCK..pts_7"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SerialDevicePath(c.port), c.device);
        EXPECT_EQ(UucpLockPath(SerialDevicePath(c.port)), c.lock);
    }
}

// A scratch folder of symbolic links to a pty's slave, laid out as udev lays
// out /dev/serial: a by-id name, a by-path name, and a link to a link.
struct SerialLinks {
    explicit SerialLinks(const std::string& target) {
        char pattern[] = "/tmp/kova-serial-XXXXXX";
        dir = mkdtemp(pattern);
        std::filesystem::create_directories(dir + "/by-id");
        std::filesystem::create_directories(dir + "/by-path");
        std::filesystem::create_symlink(target, ById());
        std::filesystem::create_symlink("../by-id/usb-FTDI_FT232R_A50285BI-if00-port0", ByPath());
    }
    ~SerialLinks() { std::filesystem::remove_all(dir); }
    std::string ById() const { return dir + "/by-id/usb-FTDI_FT232R_A50285BI-if00-port0"; }
    std::string ByPath() const { return dir + "/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0"; }
    std::string dir;
};

// Every name of one device gives the lock of the device the names lead to,
// as lockdev and the UUCP tools name it: one port, one lock.
TEST(SerialNames, EveryNameOfADeviceGivesItsKernelNamesLock) {
    PtyPair pty;
    SerialLinks links(pty.SlavePath());
    std::string kernelName = pty.SlavePath().substr(5);  // pts/N
    kernelName.replace(kernelName.find('/'), 1, "_");
    const std::string lock = "/run/lock/LCK.." + kernelName;
    for (const std::string& name : {pty.SlavePath(), links.ById(), links.ByPath()})
        EXPECT_EQ(UucpLockPath(SerialDevicePath(name)), lock) << name;
}

// A lock file as minicom, lockdev or cu write it (the holder's pid in ten
// columns and a newline) for the device's kernel name keeps out a link
// opened through a symbolic link, and a link opened through the symbolic
// link takes the lock under the kernel name, which those tools look for.
// A lock whose holder is gone is taken over either way.
TEST(SerialOpen, LockFilesOfOtherToolsMeetUsWhicheverNameEachSideUses) {
    if (access("/run/lock", W_OK) != 0) GTEST_SKIP() << "/run/lock is not writable here";
    PtyPair pty;
    SerialLinks links(pty.SlavePath());
    const std::string lock = UucpLockPath(pty.SlavePath());
    SimProcess live({"--protocol", "rtu"});  // any other live process
    auto writeLock = [&](pid_t pid) {
        FILE* f = fopen(lock.c_str(), "w");
        ASSERT_NE(f, nullptr);
        fprintf(f, "%10d\n", int(pid));
        fclose(f);
    };
    auto lockText = [&] {
        FILE* f = fopen(lock.c_str(), "r");
        if (!f) return std::string("(no lock file)");
        char text[32] = {};
        size_t n = fread(text, 1, sizeof text - 1, f);
        fclose(f);
        return std::string(text, n);
    };
    struct Case {
        std::string opensBy;
        pid_t holder;  // the pid in the other tool's lock file
        bool refused;
    } const cases[] = {
        {links.ById(), live.Pid(), true},
        {links.ByPath(), live.Pid(), true},
        {links.ById(), 999999999, false},  // no such process
        {pty.SlavePath(), 999999999, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.opensBy + " against a lock of " + std::to_string(c.holder));
        writeLock(c.holder);
        std::string reason;
        LinkHandle owner = OpenModbusRtuLink(c.opensBy.c_str(), 1, &reason);
        Link* link = owner.get();
        EXPECT_EQ(link == nullptr, c.refused) << reason;
        if (c.refused) {
            EXPECT_EQ(reason, "Port " + c.opensBy + " is busy: held by process " +
                                  std::to_string(c.holder) + " (kova-sim)");
            unlink(lock.c_str());
            continue;
        }
        char own[16];
        snprintf(own, sizeof own, "%10d\n", int(getpid()));
        EXPECT_EQ(lockText(), own);
        owner.reset();
        EXPECT_NE(access(lock.c_str(), F_OK), 0);
    }
    // The other way round: held through the by-id name, the port is refused
    // under its kernel name, and by our lock file.
    LinkHandle heldOwner = OpenModbusRtuLink(links.ById().c_str(), 1);
    Link* held = heldOwner.get();
    ASSERT_NE(held, nullptr);
    char own[16];
    snprintf(own, sizeof own, "%10d\n", int(getpid()));
    EXPECT_EQ(lockText(), own);
    EXPECT_EQ(UucpLockHolder(lock), getpid());
    heldOwner.reset();
}

// Tools that honour only the lock file (minicom, picocom) take none of the
// other locks, so the file alone must keep the port from being opened twice.
TEST(SerialOpen, ALockFileOfALiveProcessMakesThePortBusy) {
    if (access("/run/lock", W_OK) != 0) GTEST_SKIP() << "/run/lock is not writable here";
    PtyPair pty;
    SimProcess holder({"--protocol", "rtu"});  // any other live process
    std::string lock = UucpLockPath(pty.SlavePath());
    FILE* f = fopen(lock.c_str(), "w");
    ASSERT_NE(f, nullptr);
    fprintf(f, "%10d\n", int(holder.Pid()));
    fclose(f);
    std::string reason;
    EXPECT_EQ(OpenModbusRtuLink(pty.SlavePath().c_str(), 1, &reason), nullptr);
    EXPECT_EQ(reason, "Port " + pty.SlavePath() + " is busy: held by process " +
                          std::to_string(holder.Pid()) + " (kova-sim)");
    unlink(lock.c_str());
}

// picocom and tio hold a port with flock alone: the holder is still named.
TEST(SerialOpen, AFlockHolderIsNamed) {
    PtyPair pty;
    ChildProcess holder(
        {"flock", "--exclusive", pty.SlavePath(), "sh", "-c", "echo held; exec sleep 60"});
    ASSERT_EQ(holder.ReadLine(), "held");
    std::string reason;
    EXPECT_EQ(OpenModbusRtuLink(pty.SlavePath().c_str(), 1, &reason), nullptr);
    EXPECT_EQ(reason, "Port " + pty.SlavePath() + " is busy: held by process " +
                          std::to_string(holder.Pid()) + " (flock)");
}

}  // namespace
