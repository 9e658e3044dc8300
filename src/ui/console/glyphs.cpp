#include "ui/console/glyphs.h"

#include <array>
#include <cstring>

namespace con {
namespace {

// Terminal types whose names begin so take one byte per character.
constexpr const char* kSingleByteTerms[] = {"vt1",  "vt2",    "vt3", "vt4", "vt5", "vt52",
                                            "ansi", "pcansi", "wy",  "adm", "tvi", "dumb"};

struct Drawn {
    uint8_t first, last;
    char letter;
};
// clang-format off
constexpr Drawn kDrawn[] = {
    {0xB0, 0xB2, 'a'},  // shades: checker board
    {0xB3, 0xB3, 'x'}, {0xB4, 0xB6, 'u'}, {0xB7, 0xB8, 'k'}, {0xB9, 0xB9, 'u'},
    {0xBA, 0xBA, 'x'}, {0xBB, 0xBB, 'k'}, {0xBC, 0xBE, 'j'}, {0xBF, 0xBF, 'k'},
    {0xC0, 0xC0, 'm'}, {0xC1, 0xC1, 'v'}, {0xC2, 0xC2, 'w'}, {0xC3, 0xC3, 't'},
    {0xC4, 0xC4, 'q'}, {0xC5, 0xC5, 'n'}, {0xC6, 0xC7, 't'}, {0xC8, 0xC8, 'm'},
    {0xC9, 0xC9, 'l'}, {0xCA, 0xCA, 'v'}, {0xCB, 0xCB, 'w'}, {0xCC, 0xCC, 't'},
    {0xCD, 0xCD, 'q'}, {0xCE, 0xCE, 'n'}, {0xCF, 0xD0, 'v'}, {0xD1, 0xD2, 'w'},
    {0xD3, 0xD4, 'm'}, {0xD5, 0xD6, 'l'}, {0xD7, 0xD8, 'n'}, {0xD9, 0xD9, 'j'},
    {0xDA, 0xDA, 'l'}, {0xDB, 0xDF, '0'},  // blocks
    {0x9C, 0x9C, '}'}, {0xE3, 0xE3, '{'}, {0xF1, 0xF1, 'g'}, {0xF2, 0xF2, 'z'},
    {0xF3, 0xF3, 'y'}, {0xF8, 0xF8, 'f'},
    {0xF9, 0xFA, '~'},  // the small dots: an empty slot
};
// clang-format on

constexpr std::array<char, 256> BuildLetters() {
    std::array<char, 256> t{};
    for (int b = 0; b < 256; ++b) t[size_t(b)] = '`';
    for (int b = 0x20; b < 0x7F; ++b) t[size_t(b)] = 0;
    t[0x00] = t[0xFF] = 0;
    for (const Drawn& d : kDrawn)
        for (int b = d.first; b <= d.last; ++b) t[size_t(b)] = d.letter;
    return t;
}
constexpr auto kLetters = BuildLetters();

}  // namespace

bool TerminalTakesUtf8(const char* term) {
    if (!term) return true;
    for (const char* prefix : kSingleByteTerms)
        if (std::strncmp(term, prefix, std::strlen(prefix)) == 0) return false;
    return true;
}

char AcsLetterOf(uint8_t byte) { return kLetters[byte]; }

}  // namespace con
