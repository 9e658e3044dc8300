// Applying a data path's mask to a copy of the message.
#include "emulator/mask.h"

std::string ApplyMask(std::string_view mask, std::string_view text) {
    std::string out(text);
    size_t at = 0;
    for (char m : mask) {
        if (at >= out.size()) break;
        if (m == kMaskDelete)
            out.erase(at, 1);
        else {
            if (m != '_') out[at] = m;
            ++at;
        }
    }
    out.resize(at);
    return out;
}
