// kova-config watch against kova-sim fed with a device's lines: the values
// the module's paths write are printed decoded as they change, and a start
// register sent to the module while it runs is followed.
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "common/wait_until.h"
#include "config/config_defaults.h"
#include "kova-config/kova_config_fixture.h"
#include "transfer/register_map.h"

namespace {

class WatchTest : public KovaConfigTest {
  protected:
    // Port 2: a scale whose weight (an INTEGER) lands in register 20 and
    // whose barcode-like labels land two characters a register from 30.
    void WritePlant() {
        ModuleConfig config;
        FillDefaults(config);
        PortConfig& port = config.Ports[1];
        SetPath(port.Paths[0], "W*", 20, 1, /*INTEGER*/ 2);
        SetPath(port.Paths[1], "L*", 30, 3, /*PACKED*/ 1);
        WriteKov("PLANT.KOV", DocumentOf(config, 3, 0));
    }

    static void SetPath(DataPath& path, const char* pattern, int16_t start, int16_t count,
                        uint8_t mode) {
        std::memset(path.Pattern, 0, sizeof path.Pattern);
        std::strcpy(path.Pattern, pattern);
        std::memset(path.Mask, '_', 64);
        path.StartRegister = start;
        path.RegisterCount = count;
        path.EditingMode = mode;
        path.Continue = 0;
    }

    Args Feed(const std::string& lines, int ms) {
        WriteText("device.txt", lines);
        return {"--config", Path("PLANT.KOV"), "--feed",
                "2=" + Path("device.txt") + "@" + std::to_string(ms)};
    }
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The fields of "TIME,port,path,register,mode,value" after the time.
std::set<std::string> RowsWithoutTime(const std::vector<std::string>& rows) {
    std::set<std::string> out;
    for (const std::string& row : rows) out.insert(row.substr(row.find(',') + 1));
    return out;
}

TEST_F(WatchTest, FedWeightsAndLabelsAreDecodedAsTheyChange) {
    WritePlant();
    Sim sim(Sim::Tcp, Feed("W 12500\nL AB12\nW -7\nL X\n", 60));
    const RunResult r = RunOn(sim, {"--interval", "20", "--count", "40", "--csv", "watch"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> rows = Lines(r.out);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0], "time,port,path,register,mode,value");
    const std::set<std::string> seen = RowsWithoutTime({rows.begin() + 1, rows.end()});
    // The weights as INTEGER writes them, the labels two characters a
    // register (a shorter label clears the rest of the block).
    for (const char* expected : {"2,1,4x20,INTEGER,12500", "2,1,4x20,INTEGER,-7",
                                 "2,2,4x30-4x32,PACKED,L AB12", "2,2,4x30-4x32,PACKED,L X"})
        EXPECT_TRUE(seen.count(expected)) << expected << "\n" << r.out;
    // Only changes: no two rows of a path in a row with the same value.
    std::string previous;
    for (size_t i = 1; i < rows.size(); ++i) {
        const std::string row = rows[i].substr(rows[i].find(',') + 1);
        EXPECT_NE(row, previous);
        previous = row;
    }
}

TEST_F(WatchTest, AStartRegisterSentWhileItRunsIsFollowed) {
    WritePlant();
    Sim sim(Sim::Tcp, Feed("W 111\nW 222\n", 50));
    Spawned watch(Join(Join({BuildProgram("kova-config")}, sim.Link()),
                       {"--interval", "20", "--count", "60", "watch"}),
                  Path("out"), Path("err"));
    auto output = [&] {
        std::ifstream in(Path("out"));
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    };
    ASSERT_TRUE(WaitUntil([&] { return output().find("4x20 INTEGER") != std::string::npos; },
                          Millis(5000)));
    // Port 2, path 1's start register, as the configuration editor sends it.
    const int reg = SectionRegister(2, PathNumbersSection(0));
    const RunResult sent = RunProgram(
        Join(Join({BuildProgram("kova-link")}, sim.Link()), {"write", std::to_string(reg), "50"}));
    ASSERT_EQ(sent.status, 0) << sent.err;
    EXPECT_EQ(watch.Wait(), 0);
    const std::string out = output();
    EXPECT_NE(out.find("port 2 path 1 4x50 INTEGER 111"), std::string::npos) << out;
    EXPECT_NE(out.find("port 2 path 1 4x50 INTEGER 222"), std::string::npos) << out;
}

TEST_F(WatchTest, TheFileGivesThePathsAndOptionsGoWithWatch) {
    WritePlant();
    Sim sim(Sim::Tcp, Feed("W 5\n", 30));
    RunResult r =
        RunOn(sim, {"--config", Path("PLANT.KOV"), "--count", "5", "--interval", "20", "watch"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("port 2 path 1 4x20 INTEGER 5"), std::string::npos) << r.out;
    r = Run({"--count", "5", "check", Path("PLANT.KOV")});
    EXPECT_EQ(r.status, 2);
    r = RunOn(sim, {"--config", Path("MISSING.KOV"), "watch"});
    EXPECT_EQ(r.status, 2);
}

}  // namespace
