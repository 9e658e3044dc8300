// What one request may carry follows the link kind, and kova-link refuses
// anything else as a usage error (exit status 2) before the link is opened:
// registers 1-65536 (Sy/Max 1-16384, Gateway 1-8192), reads of 128 on Sy/Max
// and Gateway and 125 on Modbus, writes of as many values as one request
// takes, Modbus drops 1-247. One table of command lines against kova-sim on
// every kind of link, with their exit status and message.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "common/child_process.h"
#include "common/file_contents.h"
#include "common/sim_process.h"

namespace {

using Args = std::vector<std::string>;

Args Join(Args a, const Args& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// "write REGISTER" and n values.
Args WriteOf(const char* command, int reg, int n) {
    Args args = {command, std::to_string(reg)};
    for (int i = 0; i < n; ++i) args.push_back(std::to_string(i));
    return args;
}

struct Wire {
    const char* name;
    Args sim;
};
const Wire kSyMax{"symax", {"--protocol", "symax"}};
const Wire kGateway{"gateway", {"--protocol", "gateway"}};
const Wire kRtu{"rtu", {"--protocol", "rtu"}};
const Wire kTcp{"tcp", {"--protocol", "tcp", "--listen", "127.0.0.1:0"}};

// kova-link's link options for a simulated module.
Args LinkTo(const Wire& wire, const SimProcess& sim) {
    if (sim.OnTcp()) return {"--type", "tcp", "--host", "127.0.0.1", "--tcp-port", sim.Where()};
    Args link = {"--type", wire.name, "--port", sim.SlavePath(), "--timeout", "50"};
    if (std::string(wire.name) == "gateway") link = Join(link, {"--route", "1"});
    return link;
}

struct Case {
    const Wire* wire;
    Args command;
    int status;
    std::string text;  // the start of standard error, or of standard output when it is 0
};

TEST(KovaLinkLimits, EachCommandLineEndsWithItsStatusAndMessage) {
    const Case cases[] = {
        // registers
        {&kSyMax,
         {"read", "0", "1"},
         2,
         "kova-link: read: REGISTER must be 1-16384 on a Sy/Max link, not 0"},
        {&kSyMax, {"read", "16384", "1"}, 0, "0\n"},
        {&kSyMax,
         {"read", "16384", "2"},
         2,
         "kova-link: read: REGISTER 16384 with 2 registers runs past register 16384, the last on "
         "a Sy/Max link"},
        {&kGateway,
         {"read", "8193", "1"},
         2,
         "kova-link: read: REGISTER must be 1-8192 on a Gateway link, not 8193"},
        {&kRtu,
         {"write", "0", "5"},
         2,
         "kova-link: write: REGISTER must be 1-65536 on a Modbus link, not 0"},
        {&kTcp,
         {"read", "0", "1"},
         2,
         "kova-link: read: REGISTER must be 1-65536 on a Modbus link, not 0"},
        {&kTcp,
         {"read", "65536", "2"},
         2,
         "kova-link: read: REGISTER 65536 with 2 registers runs past register 65536, the last on "
         "a Modbus link"},
        // read counts
        {&kSyMax, {"read", "1", "128"}, 0, "0 0 0"},
        {&kSyMax,
         {"read", "1", "129"},
         2,
         "kova-link: read: COUNT must be 1-128 on a Sy/Max link (one request; use dump for more), "
         "not 129"},
        {&kSyMax,
         {"input-read", "1", "126"},
         2,
         "kova-link: input-read: COUNT must be 1-125 on a Sy/Max link"},
        {&kGateway, {"read", "1", "128"}, 0, "0 0 0"},
        {&kRtu, {"read", "1", "125"}, 0, "0 0 0"},
        {&kRtu,
         {"read", "1", "126"},
         2,
         "kova-link: read: COUNT must be 1-125 on a Modbus link (one request; use dump for more), "
         "not 126"},
        {&kTcp, {"bench", "1", "1", "126"}, 2, "kova-link: bench: COUNT must be 1-125"},
        {&kSyMax, {"sections", "1", "128,128"}, 0, "2 requests, 256 registers"},
        {&kRtu,
         {"sections", "1", "10,126"},
         2,
         "kova-link: sections: each count must be 1-125 on a Modbus link, not \"126\""},
        // writes of more values than one request takes
        {&kSyMax, WriteOf("write", 1, 128), 0, ""},
        {&kSyMax, WriteOf("write", 1, 129), 2,
         "kova-link: write: the values must be at most 128 on a Sy/Max link (one request), not "
         "129"},
        {&kSyMax, WriteOf("write", 16380, 6), 2,
         "kova-link: write: REGISTER 16380 with 6 registers runs past register 16384"},
        {&kRtu, WriteOf("write", 1, 200), 2,
         "kova-link: write: the values must be at most 127 on a Modbus link (one request), not "
         "200"},
        {&kTcp, WriteOf("input-write", 1, 125), 2,
         "kova-link: input-write: the values must be at most 124 on a Modbus link"},
        {&kGateway, WriteOf("write", 1, 128), 0, ""},
        // Modbus drops
        {&kRtu,
         {"--drop", "0", "read", "1", "1"},
         2,
         "kova-link: the Modbus drop (slave address) must be 1-247, not 0 (0 is broadcast, which "
         "no slave answers)"},
        {&kRtu,
         {"--drop", "248", "read", "1", "1"},
         2,
         "kova-link: the Modbus drop (slave address) must be 1-247, not 248 (reserved)"},
        {&kTcp, {"--drop", "0", "write", "1", "1"}, 2, "kova-link: the Modbus drop"},
        // the link's own refusals stay link failures
        {&kSyMax,
         {"input-write", "1", "1"},
         1,
         "kova-link: Input register writes are not supported on a Sy/Max link"},
    };
    for (const Case& c : cases) {
        std::string line = c.wire->name;
        for (const std::string& word : c.command) line += " " + word.substr(0, 8);
        SCOPED_TRACE(line);
        SimProcess sim(c.wire->sim);
        // Options stand before the command.
        Args argv = {BuildProgram("kova-link")};
        Args command = c.command;
        if (command[0] == "--drop") {
            argv = Join(argv, {command[0], command[1]});
            command.erase(command.begin(), command.begin() + 2);
        }
        const RunResult r = RunProgram(Join(Join(argv, LinkTo(*c.wire, sim)), command));
        EXPECT_EQ(r.status, c.status) << r.out << r.err;
        const std::string& shown = c.status ? r.err : r.out;
        EXPECT_EQ(shown.substr(0, c.text.size()), c.text) << shown;
    }
}

// A usage error never reaches the wire; dump reads as many a request as the
// link kind carries.
TEST(KovaLinkLimits, RefusalsSendNothingAndDumpReadsWhatTheKindCarries) {
    char folder[] = "/tmp/kova-link-limits-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string log = std::string(folder) + "/requests.log";
    struct DumpCase {
        const Wire* wire;
        std::string requests;
    } const dumps[] = {
        {&kSyMax, "r 1 128\nr 129 128\nr 257 44\n"},
        {&kRtu, "r 1 125\nr 126 125\nr 251 50\n"},
    };
    for (const DumpCase& d : dumps) {
        SCOPED_TRACE(d.wire->name);
        std::remove(log.c_str());
        SimProcess sim(Join(d.wire->sim, {"--log", log}));
        const Args link = Join({BuildProgram("kova-link")}, LinkTo(*d.wire, sim));
        EXPECT_EQ(RunProgram(Join(link, {"read", "1", "129"})).status, 2);
        EXPECT_EQ(RunProgram(Join(link, WriteOf("write", 0, 1))).status, 2);
        const RunResult dump = RunProgram(Join(link, {"dump", "1", "300"}));
        EXPECT_EQ(dump.status, 0) << dump.err;
        sim.Stop();
        EXPECT_EQ(ReadFile(log), d.requests);
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
