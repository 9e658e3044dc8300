// The escape sequences of the terminals a plant has, whatever TERM says:
// xterm (both Home/End styles), the Linux console, VT100 (PF1-PF4, the
// keypad in application mode), VT220 (Find/Select as Home/End, Prev/Next),
// PuTTY and rxvt. ncurses knows the sequences of the terminal TERM names;
// this table takes the rest, and a sequence in neither is swallowed whole
// rather than read as Esc and typed characters.
#pragma once
#include <string>
#include <vector>

namespace con {

// Longest sequence taken; anything longer is swallowed at this length.
constexpr size_t kMaxSequence = 16;

// Whether the bytes after Esc ("[4~", "OP") make a whole sequence: SS3 and
// one byte, CSI up to its final byte, the Linux console's "[[" and a letter.
bool SequenceComplete(const std::string& afterEsc);

// A whole sequence as PC keyboard bytes: 0 and a scan code for an extended
// key, the character for a keypad key; empty for a sequence to swallow.
std::vector<int> SequenceKeyBytes(const std::string& afterEsc);

}  // namespace con
