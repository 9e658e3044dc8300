// The Modbus masters and the simulated module against independent
// implementations: libmodbus's RTU server over a socat pty pair, mbpoll, and
// Debian's pymodbus with its ASCII framer.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "common/child_process.h"
#include "common/sim_process.h"
#include "link/link_state.h"

namespace {

using Args = std::vector<std::string>;

// Two linked ptys made by socat, named in a fresh folder.
class SocatPair {
  public:
    SocatPair()
        : dir_(MakeDir()),
          a_(dir_ + "/a"),
          b_(dir_ + "/b"),
          socat_({"socat", "pty,raw,echo=0,link=" + a_, "pty,raw,echo=0,link=" + b_}) {}
    ~SocatPair() {
        unlink(a_.c_str());
        unlink(b_.c_str());
        rmdir(dir_.c_str());
    }
    bool Ready() { return WaitForPath(a_) && WaitForPath(b_); }
    const std::string& A() const { return a_; }
    const std::string& B() const { return b_; }

  private:
    static std::string MakeDir() {
        char name[] = "/tmp/kova-socat-XXXXXX";
        return mkdtemp(name) ? name : "/tmp";
    }
    std::string dir_, a_, b_;
    ChildProcess socat_;
};

class PeersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* tool : {"/usr/bin/socat", "/usr/bin/mbpoll", "/usr/bin/python3"})
            ASSERT_TRUE(HaveProgram(tool)) << tool << " is missing: run scripts/install-deps.sh";
        ASSERT_EQ(RunProgram({"/usr/bin/python3", "-c", "import pymodbus"}).status, 0)
            << "python3-pymodbus is missing: run scripts/install-deps.sh";
        ASSERT_TRUE(HaveProgram(BuildProgram("kova-modbus-server"))) << "libmodbus-dev is missing";
    }
};

TEST_F(PeersTest, RtuMasterAgainstTheLibmodbusServer) {
    SocatPair line;
    ASSERT_TRUE(line.Ready());
    ChildProcess server({BuildProgram("kova-modbus-server"), line.A(), "1"});
    ASSERT_EQ(server.ReadLine(), "ready");
    LinkHandle owner = OpenModbusRtuLink(line.B().c_str(), 1);
    Link* link = owner.get();
    ASSERT_NE(link, nullptr);
    SetSerialParameters(link, 9600, 1, 1, 200, 8);

    uint16_t values[10] = {};
    ASSERT_EQ(RegisterRead(link, 1, 10, values), 10) << LinkErrorText(link);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(values[i], i + 1);
    const uint16_t written[] = {0xBEEF, 0x0010, 0};
    EXPECT_EQ(RegisterWrite(link, 500, 3, written), 3) << LinkErrorText(link);
    EXPECT_EQ(RegisterRead(link, 500, 3, values), 3);
    EXPECT_EQ(std::vector<uint16_t>(values, values + 3),
              std::vector<uint16_t>(written, written + 3));
    EXPECT_EQ(InputRegisterRead(link, 7, 2, values), 2);
    EXPECT_EQ(values[0], 14);
    EXPECT_EQ(values[1], 16);
    EXPECT_EQ(RegisterRead(link, 20000, 1, values), 0);
    EXPECT_STREQ(LinkErrorText(link), "Modbus error reply 2 ILLEGAL DATA ADDRESS");
    owner.reset();
}

TEST_F(PeersTest, MbpollReadsAndWritesTheSimulatedRtuModule) {
    SimProcess sim({"--protocol", "rtu"});
    const std::string& port = sim.SlavePath();
    Args mbpoll = {"mbpoll", "-m", "rtu", "-a", "1", "-b", "9600", "-P", "none", "-t", "4"};
    auto with = [&](Args more) {
        Args a = mbpoll;
        a.insert(a.end(), more.begin(), more.end());
        return a;
    };
    RunResult r = RunProgram(with({"-r", "8177", "-c", "2", "-1", port}));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("[8177]: \t" + std::to_string('K' << 8 | 'O')), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("[8178]: \t" + std::to_string('V' << 8 | 'A')), std::string::npos)
        << r.out;
    r = RunProgram(with({"-r", "300", port, "11", "65535"}));
    EXPECT_EQ(r.status, 0) << r.err;
    r = RunProgram(
        {BuildProgram("kova-link"), "--type", "rtu", "--port", port, "read", "300", "2"});
    EXPECT_EQ(r.out, "11 65535\n") << r.err;
}

TEST_F(PeersTest, PymodbusAsciiMasterAgainstTheSimulatedAsciiModule) {
    SimProcess sim({"--protocol", "ascii", "--drop", "9"});
    const std::string& port = sim.SlavePath();
    // pymodbus counts addresses from 0: address 100 is register 101.
    RunResult r = RunProgram({"/usr/bin/python3", SourcePath("tests/link/pymodbus_ascii_client.py"),
                              port, "9", "100", "5", "0x10", "65535"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "5 16 65535\n");
    r = RunProgram({BuildProgram("kova-link"), "--type", "ascii", "--drop", "9", "--port", port,
                    "read", "101", "3"});
    EXPECT_EQ(r.out, "5 16 65535\n") << r.err;
}

TEST_F(PeersTest, AsciiMasterAgainstThePymodbusServer) {
    SocatPair line;
    ASSERT_TRUE(line.Ready());
    ChildProcess server(
        {"/usr/bin/python3", SourcePath("tests/link/pymodbus_ascii_server.py"), line.A()});
    ASSERT_EQ(server.ReadLine(), "ready");
    std::string reason;
    LinkHandle owner = OpenModbusAsciiLink(line.B().c_str(), 1, &reason);
    Link* link = owner.get();
    ASSERT_NE(link, nullptr) << reason;
    SetSerialParameters(link, 9600, 0, 1, 50, 8);
    uint16_t values[5] = {};
    // The server opens its port after it said ready; ask until it answers.
    int result = 0;
    for (int attempt = 0; attempt < 40 && !result; ++attempt)
        result = RegisterRead(link, 1, 5, values);
    ASSERT_EQ(result, 5) << LinkErrorText(link);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(values[i], 1000 + i);
    const uint16_t written[] = {77, 0x8888};
    EXPECT_EQ(RegisterWrite(link, 3, 2, written), 2) << LinkErrorText(link);
    EXPECT_EQ(RegisterRead(link, 2, 3, values), 3);
    EXPECT_EQ(values[0], 1001);
    EXPECT_EQ(values[1], 77);
    EXPECT_EQ(values[2], 0x8888);
    EXPECT_EQ(InputRegisterRead(link, 11, 2, values), 2);
    EXPECT_EQ(values[0], 20);
    EXPECT_EQ(values[1], 22);
    owner.reset();
}

}  // namespace
