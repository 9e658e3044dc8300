// The checks and dispatch every register operation shares, the handle
// validity rule, the error-text tables and the reply wait.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "link/bare_link.h"
#include "link/link_errors.h"
#include "link/symax_state.h"

namespace {

// A link with no transport: requests reach its protocol and then wait in
// vain, so every test here ends before or at the wait.
class ListedLink {
  public:
    explicit ListedLink(uint32_t kind) : link(static_cast<LinkKind>(kind)) {
        link->replyTimeout = 1;
        strcpy(link->errorText, "previous");
    }
    Link* get() { return link.get(); }
    Link* operator->() { return link.get(); }
    BareLink link;
};

enum Op { Read, Write, InputRead, InputWrite };

int RunOp(Op op, Link* link, int reg, int count) {
    uint16_t values[200] = {};
    switch (op) {
        case Read:
            return RegisterRead(link, reg, count, values);
        case Write:
            return RegisterWrite(link, reg, count, values);
        case InputRead:
            return InputRegisterRead(link, reg, count, values);
        default:
            return InputRegisterWrite(link, reg, count, values);
    }
}

struct CheckCase {
    const char* name;
    uint32_t kind;
    Op op;
    int reg, count;
    const char* text;     // the error text the request leaves
    LinkFailure failure;  // and its code
};

// Requests that get past the checks end at the wait with the timeout text of
// their protocol, which shows how far they went.
const CheckCase kChecks[] = {
    {"symax last register", LinkSyMax, Read, 16384, 1, "Read reply timeout", LinkFailure::NoReply},
    {"symax past the end", LinkSyMax, Read, 16384, 2, "Illegal read register",
     LinkFailure::NotPossible},
    {"symax register 0", LinkSyMax, Read, 0, 1, "Illegal read register", LinkFailure::NotPossible},
    {"symax write past the end", LinkSyMax, Write, 16000, 386, "Illegal write register",
     LinkFailure::NotPossible},
    {"symax count 0", LinkSyMax, Read, 1, 0, "Illegal read count", LinkFailure::NotPossible},
    {"symax count 129", LinkSyMax, Write, 1, 129, "Illegal write count", LinkFailure::NotPossible},
    {"symax count 128", LinkSyMax, Write, 1, 128, "Write reply timeout", LinkFailure::NoReply},
    {"symax input read", LinkSyMax, InputRead, 30000, 3, "Read reply timeout",
     LinkFailure::NoReply},
    {"symax read count 128", LinkSyMax, Read, 1, 128, "Read reply timeout", LinkFailure::NoReply},
    {"symax input read count 126 (Modbus)", LinkSyMax, InputRead, 1, 126, "Illegal read count",
     LinkFailure::NotPossible},
    {"gateway read count 128", LinkGateway, Read, 1, 128, "No reply to R command",
     LinkFailure::NoReply},
    {"symax input write", LinkSyMax, InputWrite, 1, 1,
     "Input register writes are not supported on a Sy/Max link", LinkFailure::NotPossible},
    {"symax input count", LinkSyMax, InputWrite, 1, 129, "Illegal write count",
     LinkFailure::NotPossible},
    {"rtu has no register limit", LinkModbusRtu, Read, 20000, 1, "No reply to read command",
     LinkFailure::NoReply},
    {"rtu count 129", LinkModbusRtu, Read, 1, 129, "Illegal read count", LinkFailure::NotPossible},
    {"rtu read count 125", LinkModbusRtu, Read, 1, 125, "No reply to read command",
     LinkFailure::NoReply},
    {"rtu read count 126", LinkModbusRtu, Read, 1, 126, "Illegal read count",
     LinkFailure::NotPossible},
    {"ascii input read count 126", LinkModbusAscii, InputRead, 1, 126, "Illegal read count",
     LinkFailure::NotPossible},
    {"rtu write", LinkModbusRtu, Write, 20000, 127, "No reply to write command",
     LinkFailure::NoReply},
    {"rtu write count too big for its byte count", LinkModbusRtu, Write, 1, 128,
     "Illegal write count", LinkFailure::NotPossible},
    {"ascii input write", LinkModbusAscii, InputWrite, 1, 124, "No reply to write command",
     LinkFailure::NoReply},
    {"ascii input write too big", LinkModbusAscii, InputWrite, 1, 125, "Illegal write count",
     LinkFailure::NotPossible},
    {"kind 3", 3, Read, 1, 1, "previous", LinkFailure::None},
    {"kind 4 register", 4, Read, 0, 1, "Illegal read register", LinkFailure::NotPossible},
    {"kind 7", 7, Read, 1, 1, "previous", LinkFailure::None},
    {"kind 9", 9, InputWrite, 1, 1, "previous", LinkFailure::None},
};

TEST(RegisterChecks, LimitsAndDispatch) {
    for (const CheckCase& c : kChecks) {
        SCOPED_TRACE(c.name);
        ListedLink link(c.kind);
        EXPECT_EQ(RunOp(c.op, link.get(), c.reg, c.count), 0);
        EXPECT_STREQ(LinkErrorText(link.get()), c.text);
        EXPECT_EQ(LinkFailureOf(link.get()), c.failure);
    }
}

TEST(RegisterChecks, NoLinkIsRefusedEverywhere) {
    Link* link = nullptr;
    for (Op op : {Read, Write, InputRead, InputWrite}) EXPECT_EQ(RunOp(op, link, 1, 1), 0);
    EXPECT_STREQ(LinkErrorText(link), "Handle not valid");
    EXPECT_EQ(LinkFailureOf(link), LinkFailure::NoLink);
    EXPECT_EQ(SetLinkIdleCallback(link, nullptr, nullptr), 0);
    EXPECT_EQ(SetSyMaxOptions(link, 1, 1), 0);
    EXPECT_EQ(SetSerialParameters(link, 9600, 0, 1, 500, 8), 0);
}

TEST(RegisterChecks, AnEmptyPoolGivesBufferShortage) {
    for (uint32_t kind : {LinkSyMax, LinkModbusRtu, LinkModbusAscii, LinkGateway}) {
        SCOPED_TRACE(kind);
        ListedLink link(kind);
        std::vector<Packet*> held;
        while (Packet* p = TakeFreePacket(link.get())) held.push_back(p);
        EXPECT_EQ(RunOp(Read, link.get(), 1, 1), 0);
        EXPECT_STREQ(LinkErrorText(link.get()), "Buffer shortage, try again");
        EXPECT_EQ(LinkFailureOf(link.get()), LinkFailure::BufferShortage);
        for (Packet* p : held) ReturnFreePacket(link.get(), p);
    }
}

// Each link takes from packets of its own: one whose packets are all in
// use (a peer flooding it) leaves another's untouched, and no link holds
// more than its few, whatever comes.
TEST(RegisterChecks, EachLinkHasFewPacketsOfItsOwn) {
    ListedLink a(LinkSyMax), b(LinkSyMax);
    std::vector<Packet*> held;
    while (Packet* p = TakeFreePacket(a.get())) held.push_back(p);
    EXPECT_EQ(held.size(), static_cast<size_t>(kPacketsPerLink));
    EXPECT_EQ(FreePacketCount(a.get()), 0);
    EXPECT_EQ(FreePacketCount(b.get()), kPacketsPerLink);
    EXPECT_EQ(RunOp(Read, b.get(), 1, 1), 0);
    EXPECT_STREQ(LinkErrorText(b.get()), "Read reply timeout");
    for (Packet* p : held) ReturnFreePacket(a.get(), p);
    EXPECT_EQ(FreePacketCount(a.get()), kPacketsPerLink);
}

// Replies nobody waits for and requests that never went out (a line held
// up by flow control) are given back before the next request takes
// its packet, so failures alone never leave a link without packets.
TEST(RegisterChecks, StalePacketsOfALinkGoBackBeforeTheNextRequest) {
    for (uint32_t kind : {LinkSyMax, LinkModbusRtu, LinkModbusAscii, LinkGateway}) {
        SCOPED_TRACE(kind);
        ListedLink link(kind);
        std::vector<Packet*> held;
        while (Packet* p = TakeFreePacket(link.get())) held.push_back(p);
        AppendPacket(link->replyQueue, held.back());
        held.pop_back();
        AppendPacket(link->transmitQueue, held.back());
        held.pop_back();
        EXPECT_EQ(RunOp(Write, link.get(), 1, 1), 0);
        EXPECT_STRNE(LinkErrorText(link.get()), "Buffer shortage, try again");
        // The request's own packet still waits to be sent (no transport).
        EXPECT_EQ(CountPackets(link->replyQueue), 0);
        EXPECT_EQ(CountPackets(link->transmitQueue) + FreePacketCount(link.get()), 2);
        for (Packet* p : held) ReturnFreePacket(link.get(), p);
    }
}

TEST(RegisterChecks, SyMaxOptionsSetCrcModeAndPriority) {
    ListedLink link(LinkSyMax);
    EXPECT_EQ(SetSyMaxOptions(link.get(), 1, 1), 1);
    EXPECT_TRUE(link->framing->lineFlags & LineCrcMode);
    EXPECT_EQ(SyMax(link.get()).priorityOpcodes, 1);
    EXPECT_EQ(SetSyMaxOptions(link.get(), 0, 0), 1);
    EXPECT_FALSE(link->framing->lineFlags & LineCrcMode);
    EXPECT_EQ(SyMax(link.get()).priorityOpcodes, 0);
}

int abortCalls = 0;
int AbortAtOnce(void*) { return ++abortCalls, 0; }
int CountTicks(void* counter) { return ++*static_cast<int*>(counter), 1; }

TEST(ReplyWait, IdleAbortEndsTheWaitWithinOneTick) {
    ListedLink link(LinkSyMax);
    abortCalls = 0;
    SetLinkIdleCallback(link.get(), AbortAtOnce, nullptr);
    EXPECT_EQ(WaitForReply(link.get(), 500), nullptr);
    EXPECT_EQ(abortCalls, 1);
    EXPECT_STREQ(LinkErrorText(link.get()), "Application idle abort");
    EXPECT_EQ(LinkFailureOf(link.get()), LinkFailure::Aborted);
}

TEST(ReplyWait, CallsTheIdleCallbackOncePerTickUntilTheTimeout) {
    ListedLink link(LinkSyMax);
    int ticks = 0;
    SetLinkIdleCallback(link.get(), CountTicks, &ticks);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForReply(link.get(), 5), nullptr);
    EXPECT_EQ(ticks, 5);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(45));
    EXPECT_EQ(WaitForReply(link.get(), 0), nullptr);
    EXPECT_EQ(ticks, 5);
}

TEST(ReplyWait, ReturnsAQueuedReplyAtOnceAndLeavesTheErrorText) {
    ListedLink link(LinkSyMax);
    Packet* packet = TakeFreePacket(link.get());
    QueueReply(link.get(), packet);
    EXPECT_EQ(WaitForReply(link.get(), 0), packet);
    ReturnFreePacket(link.get(), packet);
    EXPECT_STREQ(LinkErrorText(link.get()), "previous");
}

TEST(ErrorTables, CodesAndTheirTexts) {
    struct Case {
        unsigned code;
        const char* syMax;
        const char* modbus;
    } const cases[] = {
        {0, "No Error", nullptr},
        {2, "Illegal Intermediate Code", "ILLEGAL DATA ADDRESS"},
        {5, "Instruction Not Allowed", "ACKNOWLEDGE"},
        {9, "Read-only Register", "Modbus error 9"},
        {12, "Illegal CPU Rack Addressing", "NO FREE MASTER PATH"},
        {13, "Communications Error", nullptr},
        {30, "Inhibit Coil In Protected MemoryEnd Of File", nullptr},
        {135, "Error Noted During A Transfer", nullptr},
        {136, "Unknown Error", nullptr},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(SyMaxErrorText(c.code), c.syMax);
        if (c.modbus)
            EXPECT_STREQ(ModbusExceptionText(c.code), c.modbus);
        else
            EXPECT_EQ(ModbusExceptionText(c.code), nullptr);
    }
}

TEST(ErrorTables, ReplyTextForms) {
    ListedLink link(LinkModbusRtu);
    SetSyMaxErrorText(link.get(), 5);
    EXPECT_STREQ(LinkErrorText(link.get()), "(5) Instruction Not Allowed");
    EXPECT_EQ(LinkFailureOf(link.get()), LinkFailure::ErrorReply);
    SetLinkError(link.get(), LinkFailure::None, "%s", "cleared");
    SetModbusExceptionText(link.get(), 2);
    EXPECT_STREQ(LinkErrorText(link.get()), "Modbus error reply 2 ILLEGAL DATA ADDRESS");
    EXPECT_EQ(LinkFailureOf(link.get()), LinkFailure::ErrorReply);
    SetModbusExceptionText(link.get(), 13);
    EXPECT_STREQ(LinkErrorText(link.get()), "Modbus error reply 13");
    SetLinkError(link.get(), LinkFailure::StrayReply, "%s", std::string(200, 'x').c_str());
    EXPECT_EQ(strlen(LinkErrorText(link.get())), size_t(kLinkErrorSize - 1));
    EXPECT_EQ(LinkFailureOf(link.get()), LinkFailure::StrayReply);
}

}  // namespace
