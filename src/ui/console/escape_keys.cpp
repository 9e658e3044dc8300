#include "ui/console/escape_keys.h"

#include "ui/console/keys.h"

namespace con {
namespace {

struct Sequence {
    const char* afterEsc;
    int scan;  // 0 for a character
    char ch;
};

// clang-format off
constexpr Sequence kSequences[] = {
    // cursor keys, normal and application mode
    {"[A", key::scan::Up, 0},    {"[B", key::scan::Down, 0},
    {"[C", key::scan::Right, 0}, {"[D", key::scan::Left, 0},
    {"OA", key::scan::Up, 0},    {"OB", key::scan::Down, 0},
    {"OC", key::scan::Right, 0}, {"OD", key::scan::Left, 0},
    // Home and End: xterm's two styles, VT220 Find/Select, rxvt
    {"[H", key::scan::Home, 0},  {"[F", key::scan::End, 0},
    {"OH", key::scan::Home, 0},  {"OF", key::scan::End, 0},
    {"[1~", key::scan::Home, 0}, {"[4~", key::scan::End, 0},
    {"[7~", key::scan::Home, 0}, {"[8~", key::scan::End, 0},
    {"[2~", key::scan::Insert, 0}, {"[3~", key::scan::Del, 0},
    {"[5~", key::scan::PgUp, 0}, {"[6~", key::scan::PgDn, 0},  // Prev, Next
    // function keys: PF1-PF4, the Linux console's, PuTTY's and rxvt's, VT220's
    {"OP", key::scan::F1, 0},      {"OQ", key::scan::F1 + 1, 0},
    {"OR", key::scan::F1 + 2, 0},  {"OS", key::scan::F1 + 3, 0},
    {"[[A", key::scan::F1, 0},     {"[[B", key::scan::F1 + 1, 0},
    {"[[C", key::scan::F1 + 2, 0}, {"[[D", key::scan::F1 + 3, 0},
    {"[[E", key::scan::F1 + 4, 0},
    {"[11~", key::scan::F1, 0},     {"[12~", key::scan::F1 + 1, 0},
    {"[13~", key::scan::F1 + 2, 0}, {"[14~", key::scan::F1 + 3, 0},
    {"[15~", key::scan::F1 + 4, 0}, {"[17~", key::scan::F6, 0},
    {"[18~", key::scan::F6 + 1, 0}, {"[19~", key::scan::F6 + 2, 0},
    {"[20~", key::scan::F6 + 3, 0}, {"[21~", key::scan::F10, 0},
    {"[23~", key::scan::F11, 0},    {"[24~", key::scan::F12, 0},
    // Shift-F1 ... Shift-F10 without a modifier (VT220, Linux console)
    {"[25~", key::scan::ShiftF1 + 2, 0}, {"[26~", key::scan::ShiftF1 + 3, 0},
    {"[28~", key::scan::ShiftF1 + 4, 0}, {"[29~", key::scan::ShiftF1 + 5, 0},
    {"[31~", key::scan::ShiftF7, 0},     {"[32~", key::scan::ShiftF7 + 1, 0},
    {"[33~", key::scan::ShiftF7 + 2, 0}, {"[34~", key::scan::ShiftF7 + 3, 0},
    // and with xterm's modifier
    {"[1;2P", key::scan::ShiftF1, 0},     {"[1;2Q", key::scan::ShiftF1 + 1, 0},
    {"[1;2R", key::scan::ShiftF1 + 2, 0}, {"[1;2S", key::scan::ShiftF1 + 3, 0},
    {"[15;2~", key::scan::ShiftF1 + 4, 0}, {"[17;2~", key::scan::ShiftF1 + 5, 0},
    {"[18;2~", key::scan::ShiftF7, 0},     {"[19;2~", key::scan::ShiftF7 + 1, 0},
    {"[20;2~", key::scan::ShiftF7 + 2, 0}, {"[21;2~", key::scan::ShiftF7 + 3, 0},
    // Ctrl-End: xterm, VT220-style with a modifier, rxvt
    {"[1;5F", key::scan::CtrlEnd, 0}, {"[4;5~", key::scan::CtrlEnd, 0},
    {"[8^", key::scan::CtrlEnd, 0},
    // the keypad in application mode: the characters on its keys
    {"Op", 0, '0'}, {"Oq", 0, '1'}, {"Or", 0, '2'}, {"Os", 0, '3'}, {"Ot", 0, '4'},
    {"Ou", 0, '5'}, {"Ov", 0, '6'}, {"Ow", 0, '7'}, {"Ox", 0, '8'}, {"Oy", 0, '9'},
    {"Ol", 0, ','}, {"Om", 0, '-'}, {"On", 0, '.'}, {"OM", 0, '\r'},
    {"Oj", 0, '*'}, {"Ok", 0, '+'}, {"Oo", 0, '/'}, {"OX", 0, '='},
};
// clang-format on

}  // namespace

bool SequenceComplete(const std::string& afterEsc) {
    const size_t n = afterEsc.size();
    if (n >= kMaxSequence) return true;
    if (n < 2) return false;
    if (afterEsc[0] == 'O') return true;
    if (afterEsc[0] != '[') return true;
    if (afterEsc[1] == '[') return n >= 3;  // the Linux console's F1 ... F5
    const unsigned char last = static_cast<unsigned char>(afterEsc[n - 1]);
    // rxvt ends its modified keys with ^ ($ and @ too)
    return (last >= 0x40 && last <= 0x7E) || last == '$';
}

std::vector<int> SequenceKeyBytes(const std::string& afterEsc) {
    for (const Sequence& s : kSequences) {
        if (afterEsc != s.afterEsc) continue;
        if (s.scan) return {0, s.scan};
        return {static_cast<unsigned char>(s.ch)};
    }
    return {};
}

}  // namespace con
