// Work cut short by SIGINT or SIGTERM says what it left: a send names the
// parts it wrote and those it did not, a backup prints the summary of the
// modules that ended and marks the rest interrupted; the program then ends by
// the signal (130 or 143 in the shell). The modules answer late (kova-sim
// --delay) and their request logs tell the test when to send the signal.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

#include "common/file_contents.h"
#include "common/wait_until.h"
#include "kova-config/kova_config_fixture.h"
#include "kova-config/send_interruption.h"
#include "transfer/register_map.h"

namespace {

using InterruptTest = KovaConfigTest;

// The requests a simulated module has logged, "r|w FIRST COUNT" each.
struct Request {
    char kind;
    int first;
};
std::vector<Request> Requests(const std::string& log) {
    std::vector<Request> requests;
    std::istringstream lines(ReadFile(log));
    Request r;
    int count;
    while (lines >> r.kind >> r.first >> count) requests.push_back(r);
    return requests;
}

bool HasWriteBetween(const std::string& log, int low, int high) {
    for (const Request& r : Requests(log))
        if (r.kind == 'w' && r.first >= low && r.first < high) return true;
    return false;
}

uint16_t ReadRegister(const Sim& sim, int reg) {
    const RunResult r = RunProgram(
        Join(Join({BuildProgram("kova-link")}, sim.Link()), {"read", std::to_string(reg), "1"}));
    EXPECT_EQ(r.status, 0) << r.err;
    return uint16_t(std::atoi(r.out.c_str()));
}

// A send writes the rack base, ports 1-4, then the Print/Prog baud rate; the
// port under way may be partly written, and so may what follows port 4.
TEST(SendInterruptedText, NamesThePartsInTheOrderTheyAreSent) {
    const char* kTexts[] = {
        "interrupted: nothing sent",
        "interrupted: the rack base sent, port 1 partly, ports 2-4 and the Print/Prog baud rate "
        "not",
        "interrupted: the rack base and port 1 sent, port 2 partly, ports 3-4 and the Print/Prog "
        "baud rate not",
        "interrupted: the rack base and ports 1-2 sent, port 3 partly, port 4 and the Print/Prog "
        "baud rate not",
        "interrupted: the rack base and ports 1-3 sent, port 4 partly, the Print/Prog baud rate "
        "not",
    };
    for (int port = 0; port <= 4; ++port) EXPECT_EQ(SendInterruptedText(port), kTexts[port]);
}

TEST(SendFailedText, NamesWhereItFailedAndWhatTheModuleHolds) {
    struct Case {
        SendPart part;
        const char* step;
        const char* text;
    } kCases[] = {
        {SendPart::RackBase, "",
         "failed at the rack base (Reply timeout): the rack base in doubt, "
         "ports 1-4 and the Print/Prog baud rate not; send again"},
        {SendPart::Port1, "Send Comms",
         "failed at Port 1, Comms (Reply timeout): the rack base sent, port 1 partly, ports 2-4 "
         "and the Print/Prog baud rate not; the module holds a mix: send again"},
        {SendPart::Port3, "Send path 2",
         "failed at Port 3, Path 2 (Reply timeout): the rack base and ports 1-2 sent, port 3 "
         "partly, port 4 and the Print/Prog baud rate not; the module holds a mix: send again"},
        {SendPart::Port4, "Send poll 12",
         "failed at Port 4, Poll 12 (Reply timeout): the rack base and ports 1-3 sent, port 4 "
         "partly, the Print/Prog baud rate not; the module holds a mix: send again"},
        {SendPart::PrintProgBaud, "Send poll 16",
         "failed at the Print/Prog baud rate (Reply timeout): the rack base and ports 1-4 sent, "
         "the Print/Prog baud rate in doubt; the module holds a mix: send again"},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(SendFailedText(c.part, c.step, "Reply timeout"), c.text) << c.step;
}

// A module that stops answering in the middle of port 3: the send says so,
// and what it says was sent is in the module and what it says was not is not.
TEST_F(InterruptTest, AFailedSendSaysWhatTheModuleHolds) {
    const ConfigFileContents sample = SampleConfig();
    WriteKov("X.KOV", sample);
    // Where port 3 begins in a whole send, counted in requests.
    const std::string full = Path("full.log");
    {
        Sim sim(Sim::Tcp, {"--log", full});
        ASSERT_EQ(RunOn(sim, {"send", Path("X.KOV")}).status, 0);
    }
    const std::vector<Request> requests = Requests(full);
    size_t port3 = 0;
    while (port3 < requests.size() &&
           !(requests[port3].kind == 'w' && requests[port3].first >= PortBase(3) &&
             requests[port3].first < PortBase(4)))
        ++port3;
    ASSERT_LT(port3, requests.size());
    // Port 3's comms and accept set arrive; the terminate set and its one
    // retry go unanswered, and the module answers again afterwards.
    Sim sim(Sim::Tcp, {"--drop-after", std::to_string(port3 + 2) + ":2"});
    const RunResult r = RunOn(sim, {"--timeout", "5", "send", Path("X.KOV")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("kova-config: failed at Port 3, Term ("), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("): the rack base and ports 1-2 sent, port 3 partly, port 4 and the "
                         "Print/Prog baud rate not; the module holds a mix: send again\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(ReadRegister(sim, kRackBaseRegister), sample.plus.RackBase);
    EXPECT_EQ(ReadRegister(sim, PortBase(2)), sample.ports[1].BaudRate);
    EXPECT_EQ(ReadRegister(sim, PortBase(3)), sample.ports[2].BaudRate);
    EXPECT_EQ(ReadRegister(sim, PortBase(4)), 0);
}

TEST_F(InterruptTest, AnInterruptedSendSaysWhichPartsItSent) {
    const ConfigFileContents sample = SampleConfig();
    WriteKov("X.KOV", sample);
    struct Case {
        const char* what;
        int signal;
        int delayMs;
        // Until the module has seen this much of the send.
        bool (*reached)(const std::string& log);
        const char* said;
    } kCases[] = {
        {"SIGTERM while the module is identified", SIGTERM, 200,
         [](const std::string& log) { return !Requests(log).empty(); },
         "kova-config: interrupted: nothing sent\n"},
        {"SIGINT in port 3", SIGINT, 20,
         [](const std::string& log) { return HasWriteBetween(log, PortBase(3), PortBase(4)); },
         "kova-config: interrupted: the rack base and ports 1-2 sent, port 3 partly, port 4 "
         "and the Print/Prog baud rate not\n"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        const std::string log = Path("requests.log");
        Sim sim(Sim::Tcp, {"--delay", std::to_string(c.delayMs), "--log", log});
        Spawned send(Join({BuildProgram("kova-config")}, Join(sim.Link(), {"send", Path("X.KOV")})),
                     Path("out.txt"), Path("err.txt"));
        ASSERT_TRUE(send.Running());
        ASSERT_TRUE(WaitUntil([&] { return c.reached(log); }, std::chrono::seconds(30),
                              std::chrono::milliseconds(2)));
        const int status = send.Signal(c.signal);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << status;
        EXPECT_EQ(ReadFile(Path("err.txt")), c.said);
        // What it says was sent is in the module, and what it says was not
        // is not (the simulated module starts with every register 0).
        if (c.signal == SIGINT) {
            EXPECT_EQ(ReadRegister(sim, kRackBaseRegister), sample.plus.RackBase);
            EXPECT_EQ(ReadRegister(sim, PortBase(2)), sample.ports[1].BaudRate);
            EXPECT_EQ(ReadRegister(sim, PortBase(4)), 0);
        } else {
            EXPECT_EQ(ReadRegister(sim, kRackBaseRegister), 0);
        }
    }
}

TEST_F(InterruptTest, AnInterruptedBackupPrintsTheModulesThatEnded) {
    Sim quick(Sim::Tcp);
    const std::string log = Path("slow.log");
    Sim slow(Sim::Tcp, {"--delay", "20", "--log", log});
    Sim later(Sim::Tcp);
    std::string list;
    for (auto [name, sim] : {std::pair{"quick", &quick}, {"slow", &slow}, {"later", &later}}) {
        list += name;
        for (const std::string& word : sim->Link()) list += " " + word;
        list += "\n";
    }
    WriteText("plant.list", list);
    // One at a time, in list order: quick ends, slow is under way, later
    // has not begun.
    Spawned backup(
        {BuildProgram("kova-config"), "--jobs", "1", "backup", Path("plant.list"), Path("out")},
        Path("out.txt"), Path("err.txt"));
    ASSERT_TRUE(backup.Running());
    ASSERT_TRUE(WaitUntil([&] { return Requests(log).size() >= 20; }, std::chrono::seconds(30)));
    const int status = backup.Signal(SIGINT);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;

    std::istringstream rows(ReadFile(Path("out.txt")));
    std::vector<std::string> lines;
    for (std::string row; std::getline(rows, row);) lines.push_back(row);
    ASSERT_EQ(lines.size(), 5u) << ReadFile(Path("out.txt"));
    EXPECT_EQ(lines[1].rfind("quick ", 0), 0u);
    EXPECT_NE(lines[1].find("saved " + Path("out/quick.KOV")), std::string::npos) << lines[1];
    for (int i : {2, 3}) {
        const std::string& row = lines[size_t(i)];
        EXPECT_NE(row.find("  interrupted "), std::string::npos) << row;
        EXPECT_EQ(row.back(), '-') << row;  // no seconds for a module that did not end
    }
    EXPECT_EQ(lines[4], "1 of 3 modules saved, 0 failed, 2 interrupted");
    EXPECT_EQ(Entries("out"), std::vector<std::string>{"quick.KOV"});
}

}  // namespace
