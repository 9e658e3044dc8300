// The data path mask: keep, replace, delete, and cut to the mask's length.
#include "emulator/mask.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Mask, KeepsReplacesDeletesAndCuts) {
    const std::string del(1, kMaskDelete);
    struct Case {
        std::string mask, text, result;
    } kCases[] = {
        {"__", "12345", "12"},
        {del + "__", "1234", "23"},
        {"X_", "12", "X2"},
        {"", "12345", ""},
        {"_____", "12", "12"},  // the text ends first
        {del + del, "12345", ""},
        {"_" + del + "_" + del + "_", "abcdefg", "ace"},
        {del + del + del, "ab", ""},     // deleting past the end stops at the end
        {"A" + del + "B", "123", "AB"},  // B replaces the 3 that moved left
        {std::string(64, '_'), "HELLO", "HELLO"},
        {"__" + del, "12", "12"},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(ApplyMask(c.mask, c.text), c.result) << "text " << c.text;
}

}  // namespace
