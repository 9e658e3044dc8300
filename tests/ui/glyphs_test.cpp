// Which terminals get UTF-8, and what the others show for each byte.
#include "ui/console/glyphs.h"

#include <gtest/gtest.h>

namespace {

TEST(Glyphs, UsesUtf8OnlyOnTerminalsThatTakeIt) {
    struct Case {
        const char* term;
        bool utf8;
    } cases[] = {
        {"vt100", false}, {"vt220", false}, {"vt102", false},         {"vt52", false},
        {"ansi", false},  {"linux", true},  {"xterm-256color", true}, {"vte-256color", true},
        {"screen", true}, {"putty", true},
    };
    for (const Case& c : cases) EXPECT_EQ(con::TerminalTakesUtf8(c.term), c.utf8) << c.term;
}

TEST(Glyphs, DrawsFramesAndMarkersInTheLineDrawingSet) {
    struct Case {
        int byte;
        char letter;
    } cases[] = {
        {0xC9, 'l'}, {0xBB, 'k'}, {0xC8, 'm'}, {0xBC, 'j'}, {0xCD, 'q'}, {0xBA, 'x'},
        {0xDA, 'l'}, {0xC4, 'q'}, {0xB3, 'x'}, {0xC5, 'n'}, {0xF9, '~'},  // empty slot
        {0x0D, '`'},                                                      // a received CR
        {0xE0, '`'},                                                      // alpha
        {0x7F, '`'}, {'A', 0},    {'.', 0},    {' ', 0},    {0x00, 0},   {0xFF, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(con::AcsLetterOf(uint8_t(c.byte)), c.letter) << c.byte;
}

}  // namespace
