// The line of hexadecimal codes the terminal sends: codes separated by
// blanks, each kept to its last two digits ("123" is 0x23), two blanks in a
// row sending a 0x00 between. A character that is not a digit or a blank
// ends the line there; what came before it is still sent.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct HexSequence {
    std::vector<uint8_t> bytes;  // to send, in order
    int invalid = -1;            // the character that ended the line, or -1
};

HexSequence ParseHexSequence(const std::string& line);
