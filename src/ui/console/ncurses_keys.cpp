// The ncurses console's keyboard: what ncurses reads becomes the bytes a PC
// keyboard delivers (a 0 and the scan code for an extended key).
#include <cstdlib>
#include <cstring>
#include <string>

#include "text/utf8.h"
#include "ui/console/cp437.h"
#include "ui/console/escape_keys.h"
#include "ui/console/keys.h"
#include "ui/console/ncurses_impl.h"

namespace con {
namespace {

struct ScanKey {
    int curses;
    uint8_t scan;
};
constexpr ScanKey kScanKeys[] = {
    {KEY_UP, key::scan::Up},       {KEY_DOWN, key::scan::Down},  {KEY_LEFT, key::scan::Left},
    {KEY_RIGHT, key::scan::Right}, {KEY_HOME, key::scan::Home},  {KEY_END, key::scan::End},
    {KEY_PPAGE, key::scan::PgUp},  {KEY_NPAGE, key::scan::PgDn}, {KEY_DC, key::scan::Del},
    {KEY_IC, key::scan::Insert},   {KEY_F(11), key::scan::F11},  {KEY_F(12), key::scan::F12},
};

// The function key number the terminal gives Shift-F1, from its description;
// 0 when it names no shifted keys. xterm and its followers (tmux, VTE,
// konsole) send the plain key's sequence with the modifier ";2" and keep
// twelve numbers per modifier, so Shift-F1 is F13. The Linux console, rxvt
// and the VT220 have no modifier: Shift-F1 ... Shift-F10 are F11 ... F20
// (Shift-F7 is F17, "\E[31~" on the console).
int ShiftedF1Number() {
    const char* kf13 = tigetstr("kf13");
    if (!Present(kf13)) return 0;
    return std::strstr(kf13, ";2") ? 13 : 11;
}

}  // namespace

void NcursesConsole::Impl::DefineKeys() {
    // Ctrl-End: the terminal's own sequence where its description names one
    // (ncurses then has a code for it), and the common xterm sequence anyway.
    const char* ctrlEnd = tigetstr("kEND5");
    if (Present(ctrlEnd)) {
        int code = key_defined(ctrlEnd);
        if (code > 0)
            ctrlEndCode = code;
        else
            define_key(ctrlEnd, kCtrlEndCode);
    }
    if (key_defined("\033[1;5F") <= 0) define_key("\033[1;5F", ctrlEndCode);
    // Shift-F1 ... Shift-F10 as the description places them; a description
    // without shifted keys (TERM=screen) still gets xterm's, which tmux sends.
    const int shiftedNumber = ShiftedF1Number();
    shiftedF1 = shiftedNumber ? KEY_F(shiftedNumber) : KEY_F(13);
    if (!shiftedNumber) {
        static constexpr const char* kXtermShifted[] = {
            "\033[1;2P",  "\033[1;2Q",  "\033[1;2R",  "\033[1;2S",  "\033[15;2~",
            "\033[17;2~", "\033[18;2~", "\033[19;2~", "\033[20;2~", "\033[21;2~"};
        for (int i = 0; i < 10; ++i)
            if (key_defined(kXtermShifted[i]) <= 0) define_key(kXtermShifted[i], KEY_F(13 + i));
    }
}

void NcursesConsole::Impl::PushExtended(uint8_t scan) {
    bytes.push_back(0);
    bytes.push_back(scan);
}

// A key ncurses recognised from its escape sequence.
void NcursesConsole::Impl::TranslateKeyCode(int code) {
    if (code >= KEY_F(1) && code <= KEY_F(10))
        return PushExtended(uint8_t(key::scan::F1 + (code - KEY_F(1))));
    if (code == KEY_BACKSPACE) return bytes.push_back(8);
    if (code == KEY_ENTER) return bytes.push_back(13);
    if (code == ctrlEndCode) return PushExtended(key::scan::CtrlEnd);
    for (auto k : kScanKeys)
        if (k.curses == code) return PushExtended(k.scan);
    if (shiftedF1 > 0 && code >= shiftedF1 && code < shiftedF1 + 10)
        return PushExtended(uint8_t(key::scan::ShiftF1 + (code - shiftedF1)));
    TranslateBoundKey(code);
}

// A key the description names for a purpose of its own is read by what it
// sends: VT220 Find and Select are Home and End, the VT100 keypad types its
// digits, and a one-byte "key" (the Linux console's suspend, Ctrl-Z) is that
// byte, so it reaches the device in the terminal. Anything else is swallowed.
void NcursesConsole::Impl::TranslateBoundKey(int code) {
    char* bound = keybound(code, 0);
    if (!bound) return;
    const std::string sent(bound);
    std::free(bound);
    if (sent.size() == 1) return bytes.push_back(static_cast<unsigned char>(sent[0]));
    if (sent.size() > 1 && sent[0] == 27)
        for (int b : SequenceKeyBytes(sent.substr(1))) bytes.push_back(b);
}

int NcursesConsole::Impl::ReadInput(wint_t* ch) {
    if (!putBack.empty()) {
        const auto [status, value] = putBack.front();
        putBack.pop_front();
        *ch = value;
        return status;
    }
    const int first = wgetch(pad);
    if (first == ERR) return ERR;
    if (first >= KEY_MIN) {
        *ch = wint_t(first);
        return KEY_CODE_YES;
    }
    *ch = wint_t(first);
    const int more = first >= 0xF0 ? 3 : first >= 0xE0 ? 2 : first >= 0xC0 ? 1 : 0;
    if (more == 0) return OK;  // ASCII, or a Latin-1 byte on its own
    // The rest of a UTF-8 character comes in the same burst as its lead.
    constexpr int kCharacterGapMs = 25;
    const int delay = wgetdelay(pad);
    wtimeout(pad, kCharacterGapMs);
    std::string character(1, char(first));
    int next = ERR;
    while (int(character.size()) <= more) {
        next = wgetch(pad);
        if (next == ERR || next >= KEY_MIN || (next & 0xC0) != 0x80) break;
        character += char(next);
        next = ERR;
    }
    wtimeout(pad, delay);
    if (next != ERR) PutBack(next >= KEY_MIN ? KEY_CODE_YES : OK, wint_t(next));
    size_t at = 0;
    const char32_t decoded = NextCharacter(character, at);
    if (decoded != kNoCharacter && at == character.size()) {
        *ch = wint_t(decoded);
        return OK;
    }
    // No UTF-8: each byte is a Latin-1 character, the first now.
    for (size_t i = character.size(); i-- > 1;) PutBack(OK, static_cast<unsigned char>(character[i]));
    return OK;
}

// Alt+1 ... Alt+0 arrive as Esc and a digit in one burst: F1 ... F10 for
// terminals that keep the function keys for themselves. Esc with [ or O in
// the same burst starts a sequence ncurses did not know. A lone Esc stays Esc.
void NcursesConsole::Impl::TranslateEsc() {
    wint_t next;
    wtimeout(pad, 0);
    int status = ReadInput(&next);
    if (status == OK && next >= '0' && next <= '9')
        return PushExtended(next == '0' ? key::scan::F10 : uint8_t(key::scan::F1 + (next - '1')));
    if (status == OK && (next == '[' || next == 'O')) return TranslateSequence(char(next));
    bytes.push_back(27);
    if (status != ERR) PutBack(status, next);
}

// The rest of a sequence follows within the same burst (a network may split
// it, hence the short wait). A whole sequence is a key or nothing; one cut
// short by the wait was typed by hand: Esc and its characters.
void NcursesConsole::Impl::TranslateSequence(char first) {
    constexpr int kSequenceGapMs = 25;
    std::string sequence(1, first);
    wtimeout(pad, kSequenceGapMs);
    while (!SequenceComplete(sequence)) {
        wint_t ch;
        const int status = ReadInput(&ch);
        if (status == OK && ch > 0 && ch < 0x7F) {
            sequence += char(ch);
            continue;
        }
        if (status != ERR) PutBack(status, ch);
        bytes.push_back(27);
        for (char c : sequence) bytes.push_back(static_cast<unsigned char>(c));
        return;
    }
    for (int b : SequenceKeyBytes(sequence)) bytes.push_back(b);
}

// Turns one ncurses key into PC keyboard bytes.
void NcursesConsole::Impl::Translate(int status, wint_t ch) {
    if (status == KEY_CODE_YES) return TranslateKeyCode(int(ch));
    if (ch == 27) return TranslateEsc();
    if (ch == 127) return bytes.push_back(8);  // the Backspace key of most terminals sends DEL
    if (ch == 0) return PushExtended(key::scan::Nul);
    if (ch < 128) return bytes.push_back(int(ch));
    int b = UnicodeToCp437(wchar_t(ch));
    if (b >= 0) bytes.push_back(b);
}

}  // namespace con
