// The Modbus TCP link against libmodbus's TCP server on loopback.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/child_process.h"
#include "link/link_state.h"

namespace {

class TcpLibmodbusTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(HaveProgram(BuildProgram("kova-modbus-server"))) << "libmodbus-dev is missing";
        ASSERT_EQ(server_.ReadLine(), "ready");
        port_ = atoi(server_.ReadLine().c_str());
        ASSERT_GT(port_, 0);
        owner_ = OpenModbusTcpLink("127.0.0.1", port_, 1);
        link_ = owner_.get();
        ASSERT_NE(link_, nullptr);
    }
    void TearDown() override { owner_.reset(); }

    ChildProcess server_{{BuildProgram("kova-modbus-server"), "tcp:127.0.0.1:0"}};
    int port_ = 0;
    LinkHandle owner_;
    Link* link_ = nullptr;
};

TEST_F(TcpLibmodbusTest, ReadsAndWritesRegisters) {
    std::vector<uint16_t> values(125);
    ASSERT_EQ(RegisterRead(link_, 1, 125, values.data()), 125) << LinkErrorText(link_);
    for (int i = 0; i < 125; ++i) ASSERT_EQ(values[size_t(i)], i + 1) << i;
    ASSERT_EQ(InputRegisterRead(link_, 101, 10, values.data()), 10) << LinkErrorText(link_);
    for (int i = 0; i < 10; ++i) ASSERT_EQ(values[size_t(i)], 2 * (101 + i)) << i;

    const std::vector<uint16_t> written = {0, 0x8000, 0xFFFF, 1234};
    ASSERT_EQ(RegisterWrite(link_, 500, 4, written.data()), 4) << LinkErrorText(link_);
    ASSERT_EQ(RegisterRead(link_, 500, 4, values.data()), 4) << LinkErrorText(link_);
    EXPECT_EQ(std::vector<uint16_t>(values.begin(), values.begin() + 4), written);
}

TEST_F(TcpLibmodbusTest, ServerRefusalsGiveTheExceptionTexts) {
    using Operation = int (*)(Link*, int, int, uint16_t*);
    struct Case {
        const char* name;
        Operation op;
        int reg, count;
        const char* text;
        LinkFailure failure;
    } kCases[] = {
        {"read beyond the map", RegisterRead, 16383, 5, "Modbus error reply 2 ILLEGAL DATA ADDRESS",
         LinkFailure::ErrorReply},
        {"read of 126, refused before it is sent", RegisterRead, 1, 126, "Illegal read count",
         LinkFailure::NotPossible},
        {"general reference write",
         [](Link* l, int r, int c, uint16_t* v) { return InputRegisterWrite(l, r, c, v); }, 1, 2,
         "Modbus error reply 1 ILLEGAL FUNCTION", LinkFailure::ErrorReply},
    };
    std::vector<uint16_t> values(128, 0);
    for (const Case& c : kCases) {
        EXPECT_EQ(c.op(link_, c.reg, c.count, values.data()), 0) << c.name;
        EXPECT_STREQ(LinkErrorText(link_), c.text) << c.name;
        EXPECT_EQ(LinkFailureOf(link_), c.failure) << c.name;
    }
    // A refusal leaves the connection usable.
    EXPECT_EQ(RegisterRead(link_, 2, 1, values.data()), 1) << LinkErrorText(link_);
    EXPECT_EQ(values[0], 2);
}

}  // namespace
