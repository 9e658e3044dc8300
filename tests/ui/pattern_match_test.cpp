// The pattern language shared by the emulator and the file picker.
#include "text/pattern_match.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
    const char* pattern;
    const char* text;
    bool match;
};

void ExpectCases(const Case* begin, const Case* end) {
    for (const Case* c = begin; c != end; ++c)
        EXPECT_EQ(PatternMatch(c->pattern, c->text), c->match)
            << "pattern \"" << c->pattern << "\" text \"" << c->text << "\"";
}

TEST(PatternMatch, LiteralsAreAnchoredAtBothEnds) {
    const Case kCases[] = {
        {"ABC", "ABC", true}, {"ABC", "AB", false}, {"ABC", "ABCD", false}, {"ABC", "abc", false},
        {"", "", true},       {"", "A", false},     {"A", "", false},       {"AB", "BA", false},
    };
    ExpectCases(std::begin(kCases), std::end(kCases));
}

TEST(PatternMatch, SingleCharacterWildcards) {
    const Case kCases[] = {
        {"=#", "A7", true},   {"=#", "77", true}, {"=#", "A", false}, {"=", "", false},
        {"#", "0", true},     {"#", "9", true},   {"#", "a", false},  {"#", "/", false},
        {"#", ":", false},    {"?", "a", true},   {"?", "Z", true},   {"?", "@", false},
        {"?", "[", false},    {"?", "`", false},  {"?", "{", false},  {"?", "5", false},
        {"=?#", "-x9", true}, {"##", "1", false},
    };
    ExpectCases(std::begin(kCases), std::end(kCases));
}

TEST(PatternMatch, SpecialCharactersMatchThemselvesFirst) {
    const Case kCases[] = {
        {"#", "#", true},
        {"?", "?", true},
        {"=", "=", true},
        {"*", "*", true},
        {"(", "(", true},
        {"[", "[", true},
        {"(1-5)", "(1-5)", true},
        {"A(", "A(", true},
        {"]", "]", true},
        {")", ")", true},
        // Literal first, and no second try as a wildcard: the star pairs with
        // the text's star, and then the pattern has ended before the text.
        {"*", "*X", false},
        {"*X", "*X", true},
        {"=", "==", false},
    };
    ExpectCases(std::begin(kCases), std::end(kCases));
}

TEST(PatternMatch, NumericRanges) {
    const Case kCases[] = {
        {"(1-5,9)", "3", true},
        {"(1-5,9)", "9", true},
        {"(1-5,9)", "1", true},
        {"(1-5,9)", "5", true},
        {"(1-5,9)", "7", false},
        {"(1-5,9)", "10", false},
        {"(1-5,9)", "0", false},
        {"(20-)", "20", true},
        {"(20-)", "99999", true},
        {"(20-)", "19", false},
        {"W(1-5)", "W3", true},
        {"W(1-5)", "W", false},
        {"W(1-5)", "W3X", false},
        {"W(1-5)X", "W3X", true},
        {"(1-5)", "x", false},
        {"(1-5)", "", false},
        {"(5)", "5", true},
        {"(5)", "05", true},
        {"(5)", "6", false},
        {"(,7)", "0", true},
        {"(-3)", "0", true},
        {"(-3)", "4", false},
        {"(1-5,20-30,40)", "25", true},
        {"(1-5,20-30,40)", "40", true},
        {"(1-5,20-30,40)", "31", false},
        {"(1-5", "3", false},
        {"(1-5)(6-9)", "37", false},  // one digit run is one number
        {"(30-40)#", "357", false},
        {"(1-5)=", "3A", true},
        // A number too large for 32 bits must not wrap into a small range.
        {"(0-5)", "4294967297", false},
        {"(100-)", "99999999999999999999", true},
        {"(5-1)", "3", false},
    };
    ExpectCases(std::begin(kCases), std::end(kCases));
}

TEST(PatternMatch, CharacterClasses) {
    const Case kCases[] = {
        {"[A-C]#", "B7", true},   {"[A-C]#", "D7", false},       {"[A-F0-9_]", "_", true},
        {"[A-F0-9_]", "5", true}, {"[A-F0-9_]", "G", false},     {"[]x]", "]", true},
        {"[]x]", "x", true},      {"[]x]", "y", false},          {"[a-]", "-", true},
        {"[a-]", "a", true},      {"[a-]", "b", false},          {"[abc", "a", false},
        {"[abc", "x", false},     {"[abc]", "", false},          {"[-a]", "-", true},
        {"[z-a]", "m", false},    {"[A-C]x", "Bx", true},        {"[A-C][0-2]", "C2", true},
        {"[]-a]", "^", true},     {"[\x80-\xff]", "\xe9", true}, {"[a-c]", "\xe9", false},
    };
    ExpectCases(std::begin(kCases), std::end(kCases));
}

TEST(PatternMatch, StarMatchesAnyRunIncludingEmpty) {
    const Case kCases[] = {
        {"*", "", true},
        {"*", "any text", true},
        {"*,#", "XY,5", true},
        {"*,#", "XY,", false},
        {"*,#", ",5", true},
        {"A*", "A", true},
        {"A*", "BA", false},
        {"*A", "BA", true},
        {"*A", "AB", false},
        {"A*B*C", "AxxBxxC", true},
        {"A*B*C", "AxxCxxB", false},
        {"**", "", true},
        {"*(10-20)", "X15", true},
        {"*(10-20)", "X5", false},
        {"*.KOV", "CONFIG.KOV", true},
        {"*.KOV", "CONFIG.STP", false},
    };
    ExpectCases(std::begin(kCases), std::end(kCases));
}

// Many stars against a text that almost matches must still finish: the
// tails already tried are remembered.
TEST(PatternMatch, ManyStarsStayFast) {
    std::string pattern;
    for (int i = 0; i < 20; ++i) pattern += "*A";
    pattern += "B";
    std::string text(64, 'A');
    EXPECT_FALSE(PatternMatch(pattern.c_str(), text.c_str()));
    text.back() = 'B';
    EXPECT_TRUE(PatternMatch(pattern.c_str(), text.c_str()));
}

}  // namespace
