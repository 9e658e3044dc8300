// The emulator register image, signal register and grid origin rules.
#include "emulator/register_image.h"

#include <algorithm>
#include <cstring>

void ClearEmulatorRegisters(EmulatorRegisters& s) {
    std::memset(s.image, 0, sizeof s.image);
    s.signal = 0;
}

void ResetGridOrigin(EmulatorRegisters& s) { s.origin = 0; }

bool ReadImageRegister(const EmulatorRegisters& s, int rackBase, int reg, int16_t& value) {
    long index = long(reg) - rackBase;
    if (index < 0 || index >= kImageRegisters) return false;
    value = s.image[index];
    return true;
}

int WriteBlock(EmulatorRegisters& s, int rackBase, int start, const std::vector<int16_t>& regs) {
    int written = 0;
    for (size_t i = 0; i < regs.size(); ++i) {
        long index = long(start) + long(i) - rackBase;
        if (index < 0 || index >= kImageRegisters) continue;
        s.image[index] = regs[i];
        ++written;
    }
    return written;
}

uint16_t SignalBit(int port, int path) { return uint16_t(1u << (4 * (port - 1) + (path - 1))); }

int OriginAtStart(int origin, int rackBase) {
    if (origin <= rackBase || origin > rackBase + kLastOriginOffset) return rackBase + 1;
    return origin;
}

int OriginAfterBlock(int origin, int rackBase, int start, int count) {
    int last = start + count - 1;
    if (start >= origin && last <= origin + kGridRegisters - 1) return origin;
    // A block starting below the rack shows from the rack's first row: the
    // grid never shows registers outside the image.
    int offset = std::max(start - rackBase - 1, 0);
    int moved = rackBase + 1 + kGridColumns * (offset / kGridColumns);
    return std::min(moved, rackBase + kLastOriginOffset);
}
