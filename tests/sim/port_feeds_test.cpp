// Devices on the simulated module's ports (kova-sim --feed) with the sample
// plant configuration: what lands in the registers, read over Modbus TCP with
// kova-link, is what the emulator's processing makes of the same lines; a
// configuration written over the link changes where the next line lands; the
// CTS bits follow the devices.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/child_process.h"
#include "common/sim_process.h"
#include "common/wait_until.h"
#include "config/config_file_image.h"
#include "config/disk_file.h"
#include "emulator/port_processing.h"
#include "emulator/register_image.h"
#include "transfer/register_map.h"

namespace {

using Args = std::vector<std::string>;
constexpr int kShown = 40;  // registers 1-40 hold every block of the sample plant

class FedSimulator : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/kova-sim-feed.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        plant_ = dir_ + "/PLANT.KOV";
        ASSERT_EQ(RunProgram({BuildProgram("kova-sample-config"), plant_}).status, 0);
    }
    void TearDown() override {
        sim_.reset();
        std::filesystem::remove_all(dir_);
    }

    // Starts the simulator with the plant and one feed per (port, lines).
    // Extra options (register presets) come after the plant.
    void Start(const std::vector<std::pair<int, std::vector<std::string>>>& feeds, int ms,
               const Args& extra = {}) {
        Args args = {"--tcp", "127.0.0.1:0", "--config", plant_};
        args.insert(args.end(), extra.begin(), extra.end());
        for (const auto& [port, lines] : feeds) {
            std::string file = dir_ + "/port" + std::to_string(port) + ".txt";
            std::ofstream out(file);
            for (const std::string& line : lines) out << line << "\n";
            args.insert(args.end(),
                        {"--feed", std::to_string(port) + "=" + file + "@" + std::to_string(ms)});
        }
        sim_ = std::make_unique<SimProcess>(args);
        port_ = sim_->Where();
    }

    RunResult Link(const Args& command) {
        Args args = {
            BuildProgram("kova-link"), "--type", "tcp", "--host", "127.0.0.1", "--tcp-port", port_};
        args.insert(args.end(), command.begin(), command.end());
        return RunProgram(args);
    }
    std::vector<int> Read(int first, int count) {
        RunResult r = Link({"read", std::to_string(first), std::to_string(count)});
        std::vector<int> values;
        std::istringstream in(r.out);
        for (int v; in >> v;) values.push_back(v);
        return r.status == 0 && int(values.size()) == count ? values : std::vector<int>{};
    }
    int ReadOne(int reg) {
        std::vector<int> v = Read(reg, 1);
        return v.empty() ? -1 : v[0];
    }

    ModuleConfig Plant() {
        auto bytes = ReadFilePrefix(plant_, kConfigFileSize);
        auto decoded = bytes ? DecodeConfigFile(bytes->data(), bytes->size()) : std::nullopt;
        ModuleConfig config{};
        if (!decoded) return config;
        config.Plus = decoded->contents.plus;
        for (int p = 0; p < 4; ++p) config.Ports[p] = decoded->contents.ports[p];
        return config;
    }

    std::string dir_, plant_, port_;
    std::unique_ptr<SimProcess> sim_;
};

// The emulator's processing of one line as a device sends it (CR LF after
// it): registers 1-40 of its image, register 1 being the signal register.
std::vector<int> Emulated(const ModuleConfig& config, int port, const std::string& line) {
    EmulatorRegisters state{};
    const PortConfig& p = config.Ports[port - 1];
    EmulatorImage image(state, config.Plus.RackBase);
    MessageTexts texts;
    for (char c : line + "\r\n") {
        CharacterResult result =
            TakeCharacter(texts, p, uint16_t(config.Plus.TerminateCount[port - 1]), uint8_t(c));
        if (result.empty) texts.Clear();
        if (result.Completes()) {
            ProcessPortMessage(p, port, texts.accepted, image);
            texts.Clear();
        }
    }
    // What is left ends by the port's timeout, when it has one (F2 on the
    // emulator's screen).
    if (!texts.AcceptedEmpty() && config.Plus.TerminateTimeout[port - 1] > 0)
        ProcessPortMessage(p, port, texts.accepted, image);
    std::vector<int> regs(kShown);
    regs[0] = state.signal;
    for (int r = 2; r <= kShown; ++r) {
        int16_t v = 0;
        ReadImageRegister(state, config.Plus.RackBase, r, v);
        regs[r - 1] = uint16_t(v);
    }
    return regs;
}

// A change to the plant made in the simulator's registers (--set) and the
// same change made to the configuration the emulator runs.
struct Change {
    Args presets;
    void (*apply)(ModuleConfig&);
};

Args ZeroRegisters(int first, int count) {
    Args args;
    for (int r = first; r < first + count; ++r)
        args.insert(args.end(), {"--set", std::to_string(r) + "=0"});
    return args;
}

const Change kAsShipped{{}, [](ModuleConfig&) {}};
// Port 2 without terminators: its lines end by the half-second timeout.
const Change kNoTerminators{
    ZeroRegisters(SectionRegister(2, TerminateSetSection()), TerminateSetSection().count),
    [](ModuleConfig& c) { std::memset(c.Ports[1].TerminateSet, 0, sizeof(CharSet)); }};
// Port 1 ends its messages after 6 characters.
const Change kCountOfSix{{"--set", std::to_string(TerminateCountRegister(1)) + "=6"},
                         [](ModuleConfig& c) { c.Plus.TerminateCount[0] = 6; }};

struct MessageCase {
    const char* name;
    int port;
    std::string line;
    const Change& change = kAsShipped;
};

const MessageCase kMessages[] = {
    {"barcode, packed into 2-7", 1, "400638133393"},
    {"lower case capitalized, the catch-all path into 24-39", 1, "abc-12"},
    {"stable weight into 20, status into 21", 2, "S S     12.345 kg"},
    {"moving weight: status only", 2, "S D     12.360 kg"},
    {"a negative stable weight", 2, "S S     -0.125 kg"},
    {"a line no path matches changes nothing", 2, "hello"},
    {"no terminator: ended by the timeout", 2, "S S      0.250 kg", kNoTerminators},
    {"a count of six: two messages of one line", 1, "123456abcdef", kCountOfSix},
};

TEST_F(FedSimulator, EachLineLandsAsTheEmulatorProcessesIt) {
    ASSERT_EQ(Plant().Plus.RackBase, 1);
    for (const MessageCase& c : kMessages) {
        ModuleConfig plant = Plant();
        c.change.apply(plant);
        // One line, long before the next one is due.
        Start({{c.port, {c.line}}}, 600000, c.change.presets);
        if (HasFatalFailure()) return;
        uint16_t cts = uint16_t(1u << (c.port - 1));
        ASSERT_TRUE(WaitUntil([&] { return ReadOne(kCtsStatusRegister) == cts; })) << c.name;
        std::vector<int> expected = Emulated(plant, c.port, c.line);
        // A message ended by its timeout lands a moment after the line.
        WaitUntil([&] { return Read(1, kShown) == expected; });
        EXPECT_EQ(Read(1, kShown), expected) << c.name;
        sim_.reset();
    }
    ModuleConfig plant = Plant();
    // The cases are only worth as much as what they write.
    EXPECT_NE(Emulated(plant, 1, "400638133393")[1], 0);
    EXPECT_EQ(Emulated(plant, 2, "S S     12.345 kg")[19], 12345);
    EXPECT_EQ(Emulated(plant, 2, "hello"), std::vector<int>(kShown));
    ModuleConfig quiet = Plant();
    kNoTerminators.apply(quiet);
    EXPECT_EQ(Emulated(quiet, 2, "S S      0.250 kg")[19], 250);
}

TEST_F(FedSimulator, TwoScaleLinesAlternateInRegister20) {
    Start({{2, {"S S     12.345 kg", "S S     12.350 kg"}}}, 100);
    if (HasFatalFailure()) return;
    std::vector<int> order;
    ASSERT_TRUE(WaitUntil([&] {
        int v = ReadOne(20);
        if (v > 0 && (order.empty() || order.back() != v)) order.push_back(v);
        return order.size() >= 3;
    }));
    EXPECT_TRUE(order[0] == 12345 || order[0] == 12350);
    EXPECT_EQ(order[2], order[0]);
    EXPECT_EQ(order[1], order[0] == 12345 ? 12350 : 12345);
}

TEST_F(FedSimulator, AStartRegisterWrittenOverTheLinkMovesTheNextLine) {
    Start({{2, {"S S     12.345 kg"}}}, 100);
    if (HasFatalFailure()) return;
    ASSERT_TRUE(WaitUntil([&] { return ReadOne(20) == 12345; }));
    // Path 1's numbers of port 2 start with its start register.
    int pathNumbers = SectionRegister(2, PathNumbersSection(0));
    ASSERT_EQ(Link({"write", std::to_string(pathNumbers), "30"}).status, 0);
    EXPECT_TRUE(WaitUntil([&] { return ReadOne(30) == 12345; }));
}

TEST_F(FedSimulator, TheCtsBitIsUpWhileTheDeviceSends) {
    Start({{2, {"S S     12.345 kg"}}}, 400);
    if (HasFatalFailure()) return;
    // Bit 1 is port 2's; it rises with each line and falls half way to the next.
    EXPECT_TRUE(WaitUntil([&] { return ReadOne(kCtsStatusRegister) == 2; }));
    EXPECT_TRUE(WaitUntil([&] { return ReadOne(kCtsStatusRegister) == 0; }));
    EXPECT_TRUE(WaitUntil([&] { return ReadOne(kCtsStatusRegister) == 2; }));
}

TEST(FeedOptionTest, BadFeedsAreRefused) {
    struct Case {
        Args args;
        int status;
    } kCases[] = {
        {{"--feed", "5=x.txt"}, 2},
        {{"--feed", "1="}, 2},
        {{"--feed", "1=x.txt@"}, 2},
        {{"--feed", "1=x.txt@5"}, 2},
        {{"--feed", "1=/nonexistent/feed.txt"}, 1},
    };
    for (const Case& c : kCases) {
        Args args = {BuildProgram("kova-sim"), "--tcp", "127.0.0.1:0"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(RunProgram(args, Millis(10000)).status, c.status) << c.args[1];
    }
}

}  // namespace
