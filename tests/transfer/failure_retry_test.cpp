// What a transfer asks again is decided by the link's failure code, never by
// its text: every code has its rule, real failures on real wires carry the
// code their kind of failure has, and the request is retried exactly when
// the rule says so, whatever the text reads.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "module_sim.h"
#include "transfer/module_registers.h"
#include "transfer/register_map.h"
#include "transfer/transfer_reporter.h"

namespace {

struct Rule {
    LinkFailure failure;
    bool retried;
};

// One row per code: a second try cures what the line spoiled, nothing else.
const Rule kRules[] = {
    {LinkFailure::None, false},           {LinkFailure::NoReply, true},
    {LinkFailure::DamagedReply, true},    {LinkFailure::StrayReply, true},
    {LinkFailure::ErrorReply, false},     {LinkFailure::NotPossible, false},
    {LinkFailure::ConnectionLost, false}, {LinkFailure::LostPort, false},
    {LinkFailure::Aborted, false},        {LinkFailure::BufferShortage, false},
    {LinkFailure::PortSettings, false},   {LinkFailure::NoLink, false},
};

bool Retried(LinkFailure failure) {
    for (const Rule& r : kRules)
        if (r.failure == failure) return r.retried;
    return false;
}

TEST(FailureRetryRule, EveryCodeHasOneRule) {
    std::set<int> seen;
    for (const Rule& r : kRules) {
        SCOPED_TRACE(static_cast<int>(r.failure));
        EXPECT_TRUE(seen.insert(static_cast<int>(r.failure)).second) << "twice in the table";
        EXPECT_EQ(FailureWorthRetrying(r.failure), r.retried);
    }
    EXPECT_EQ(seen.size(), size_t(kLinkFailureCount));
}

// Notes what the first try left on the link when the request is retried.
class RetryReporter : public RecordingReporter {
  public:
    explicit RetryReporter(Link* link) : link_(link) {}
    void Retried() override {
        ++retries;
        failure = LinkFailureOf(link_);
        text = LinkErrorText(link_);
    }
    int retries = 0;
    LinkFailure failure = LinkFailure::None;
    std::string text;

  private:
    Link* link_;
};

int AbortAtOnce(void*) { return 0; }

struct Case {
    const char* what;
    SimWire wire;
    std::vector<std::string> options;
    int count;   // registers asked for
    bool abort;  // the idle routine ends the wait at once
    LinkFailure failure;
    const char* text;  // the first try's text
};

// The first try of each fails; a retried request then succeeds, since each
// fault hits the first reply only.
// clang-format off
const Case kCases[] = {
    {"lost reply", SimWire::ModbusRtuPty, {"--drop-after", "0:1"}, 4, false,
     LinkFailure::NoReply, "No reply to read command"},
    {"lost reply", SimWire::SyMaxPty, {"--drop-after", "0:1"}, 4, false,
     LinkFailure::NoReply, "Read reply timeout"},
    {"lost reply", SimWire::ModbusTcp, {"--drop-after", "0:1"}, 4, false,
     LinkFailure::NoReply, "Reply timeout"},
    {"damaged reply", SimWire::ModbusRtuPty, {"--corrupt-first", "1"}, 4, false,
     LinkFailure::DamagedReply, "Reply failed its CRC check"},
    {"damaged reply", SimWire::ModbusAsciiPty, {"--corrupt-first", "1"}, 4, false,
     LinkFailure::DamagedReply, "Reply failed its LRC check"},
    {"wrong function", SimWire::ModbusTcp, {"--corrupt-first", "1"}, 4, false,
     LinkFailure::StrayReply, "Reply opcode doesn't match query"},
    {"too many values", SimWire::GatewayPty, {"--corrupt-first", "1"}, 4, false,
     LinkFailure::StrayReply, "Read reply too long"},
    {"exception", SimWire::ModbusRtuPty, {"--error", "2"}, 4, false,
     LinkFailure::ErrorReply, "Modbus error reply 2 ILLEGAL DATA ADDRESS"},
    {"exception", SimWire::ModbusTcp, {"--error", "6"}, 4, false,
     LinkFailure::ErrorReply, "Modbus error reply 6 SLAVE DEVICE BUSY"},
    {"error code", SimWire::SyMaxPty, {"--error", "7"}, 4, false,
     LinkFailure::ErrorReply, "(7) Protected Register"},
    {"count the link cannot carry", SimWire::ModbusRtuPty, {}, 126, false,
     LinkFailure::NotPossible, "Illegal read count"},
    {"user abort", SimWire::ModbusTcp, {"--delay", "200"}, 4, true,
     LinkFailure::Aborted, "Application idle abort"},
};
// clang-format on

TEST(FailureRetryRule, RealFailuresCarryTheirCodeAndAreRetriedByIt) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(WireName(c.wire)) + ": " + c.what);
        ModuleSim sim(c.wire, c.options);
        ASSERT_NE(sim.link(), nullptr);
        SetSerialParameters(sim.link(), 9600, 1, 1, 20, 8);
        if (c.abort) SetLinkIdleCallback(sim.link(), AbortAtOnce, nullptr);
        std::vector<uint16_t> values(size_t(c.count));
        RetryReporter reporter(sim.link());
        const int ok =
            ReadModuleRegisters(sim.link(), reporter, PortBase(1), c.count, values.data());
        const bool retried = Retried(c.failure);
        EXPECT_EQ(reporter.retries, retried ? 1 : 0);
        EXPECT_EQ(ok, retried ? 1 : 0) << testing::PrintToString(reporter.Texts("error"));
        if (!retried) {
            reporter.failure = LinkFailureOf(sim.link());
            reporter.text = LinkErrorText(sim.link());
        }
        EXPECT_EQ(reporter.failure, c.failure) << reporter.text;
        EXPECT_EQ(reporter.text, c.text);
    }
}

}  // namespace
