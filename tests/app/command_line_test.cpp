// Command-line arguments typed into the menus.
#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, ReplacesTheEscapesAndKeepsOtherSlashes) {
    struct Case {
        std::string argument, keys;
    } cases[] = {
        {"FR", "FR"},   {"F/R", "F\r"}, {"f/r", "f\r"}, {"/d/D/e/E", "\x7f\x7f\x1b\x1b"},
        {"/X", "/X"},    // any other character: the slash is typed as it stands
        {"A/", "A/"},    // a slash at the end too
        {"//R", "/\r"},  // the first slash has no escape after it
        {"/", "/"},     {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ArgumentKeystrokes(c.argument), c.keys) << c.argument;
}

TEST(CommandLine, CutsArgumentsAt131Characters) {
    std::string longArgument(200, 'x');
    EXPECT_EQ(ArgumentKeystrokes(longArgument), std::string(131, 'x'));
    // The cut comes before the escapes: an escape split by it is not replaced.
    std::string split = std::string(130, 'x') + "/R";
    EXPECT_EQ(ArgumentKeystrokes(split), std::string(130, 'x') + "/");
}

}  // namespace
