#include "ui/text_flags.h"

// Light grey on blue is the normal colour; reverse swaps to a grey
// background, highlight is yellow, alert light red.
uint8_t ConsoleColourOf(uint8_t attribute) {
    static constexpr uint8_t kColours[8] = {0x17, 0x71, 0x1E, 0x7E, 0x1C, 0x7C, 0x1C, 0x6C};
    return kColours[attribute & tf::AttributeMask];
}
