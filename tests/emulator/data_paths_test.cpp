// The data path loop: which paths are tried, what lands in the image and how
// the signal register toggles.
#include "emulator/data_paths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct PathSetup {
    const char* pattern;
    const char* mask;
    int start, count;
    uint8_t mode, cont;
};

class DataPathsTest : public ::testing::Test {
  protected:
    void Configure(const std::vector<PathSetup>& setups) {
        port = PortConfig{};
        for (size_t i = 0; i < setups.size(); ++i) {
            DataPath& p = port.Paths[i];
            std::strcpy(p.Pattern, setups[i].pattern);
            std::strcpy(p.Mask, setups[i].mask);
            p.StartRegister = int16_t(setups[i].start);
            p.RegisterCount = int16_t(setups[i].count);
            p.EditingMode = setups[i].mode;
            p.Continue = setups[i].cont;
        }
    }
    std::vector<bool> Matches(const std::vector<PathOutcome>& out) {
        std::vector<bool> m;
        for (const auto& o : out) m.push_back(o.matched);
        return m;
    }
    PortConfig port{};
    EmulatorRegisters state{};
    const std::string kKeepAll = std::string(64, '_');
};

TEST_F(DataPathsTest, ContinueDecidesWhetherLaterPathsAreTried) {
    struct Case {
        std::vector<PathSetup> paths;
        std::vector<bool> tried;  // one entry per path tried, true when matched
        uint16_t signal;
    } kCases[] = {
        // Path 1 matches without Continue: paths 2-4 are never tried.
        {{{"*", "_", 2, 1, 0, 0}, {"*", "_", 3, 1, 0, 0}}, {true}, 0x0001},
        // Not matching never stops the loop.
        {{{"X", "_", 2, 1, 0, 0}, {"*", "_", 3, 1, 0, 0}}, {false, true}, 0x0002},
        {{{"*", "_", 2, 1, 0, 1},
          {"X", "_", 3, 1, 0, 0},
          {"#*", "_", 4, 1, 0, 1},
          {"*", "_", 5, 1, 0, 0}},
         {true, false, true, true},
         0x000D},
        {{{"X", "_", 2, 1, 0, 1}, {"Y", "_", 3, 1, 0, 1}}, {false, false, false, false}, 0},
    };
    for (const Case& c : kCases) {
        Configure(c.paths);
        state = EmulatorRegisters{};
        auto out = RunDataPaths(port, 1, 1, "1AB", state);
        EXPECT_EQ(Matches(out), c.tried);
        EXPECT_EQ(state.signal, c.signal);
    }
}

TEST_F(DataPathsTest, DefaultFirstPathWritesTheNumberAndToggles) {
    Configure({{"*", kKeepAll.c_str(), 2, 1, 2, 0}});
    auto out = RunDataPaths(port, 1, 1, "123", state);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].masked, "123");
    EXPECT_EQ(state.image[1], 123);
    EXPECT_EQ(state.signal, 0x0001);
    RunDataPaths(port, 1, 1, "123", state);
    EXPECT_EQ(state.signal, 0x0000);
}

TEST_F(DataPathsTest, SignalBitFollowsPortAndPath) {
    Configure({{"X", "_", 2, 1, 0, 0}, {"X", "_", 2, 1, 0, 0}, {"*", "_", 2, 1, 0, 0}});
    RunDataPaths(port, 2, 1, "A", state);
    EXPECT_EQ(state.signal, 0x0040);
    RunDataPaths(port, 4, 1, "A", state);
    EXPECT_EQ(state.signal, 0x4040);
    RunDataPaths(port, 2, 1, "A", state);
    EXPECT_EQ(state.signal, 0x4000);
}

TEST_F(DataPathsTest, EveryPathMasksItsOwnCopy) {
    const std::string del(1, 0x7F);
    Configure({{"*", (del + "__").c_str(), 10, 2, 0, 1}, {"*", "Z_", 20, 3, 0, 0}});
    auto out = RunDataPaths(port, 1, 1, "ABC", state);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].masked, "BC");
    EXPECT_EQ(out[1].masked, "ZB");
    EXPECT_EQ(state.image[9], 'B');
    EXPECT_EQ(state.image[10], 'C');
    EXPECT_EQ(state.image[19], 'Z');
    EXPECT_EQ(state.image[20], 'B');
    EXPECT_EQ(state.image[21], 0);  // unfilled registers of the block are zeroed
}

TEST_F(DataPathsTest, BlockBeyondTheImageIsNotWritten) {
    Configure({{"*", kKeepAll.c_str(), 2047, 4, 0, 0}});
    auto out = RunDataPaths(port, 1, 1, "ABCD", state);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].registers.size(), 4u);
    EXPECT_EQ(state.image[2046], 'A');
    EXPECT_EQ(state.image[2047], 'B');
}

TEST_F(DataPathsTest, PatternAndMaskWithoutTerminatorAreReadTo64) {
    Configure({{"*", "_", 2, 1, 0, 0}});
    std::memset(port.Paths[0].Pattern, 'A', 65);
    std::memset(port.Paths[0].Mask, '_', 65);
    std::string text(64, 'A');
    auto out = RunDataPaths(port, 1, 1, text, state);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_TRUE(out[0].matched);
    EXPECT_EQ(out[0].masked, text);
}

TEST(Capitalize, OnlyLettersAToZ) {
    EXPECT_EQ(CapitalizeText("abc"), "ABC");
    EXPECT_EQ(CapitalizeText("a1-z{\xe9}"), "A1-Z{\xe9}");
}

}  // namespace
