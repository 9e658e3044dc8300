// Route characters: upper-case hexadecimal, high digit first; an entry with
// bit 15 set (Net-to-Net's marked drop) goes out with bit 7 of its first
// character set.
#include "link/symax_route.h"

namespace {

const char kHex[] = "0123456789ABCDEF";

bool IsHexDigit(uint8_t c) {
    c &= 0x7F;
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

}  // namespace

void EncodeRoute(Packet* packet, const LinkRoute& route) {
    int count = route.count > 8 ? 8 : route.count;
    uint8_t* out = packet->address;
    for (int i = 0; i < count; ++i) {
        uint16_t entry = route.entries[i];
        *out++ = static_cast<uint8_t>(kHex[(entry >> 4) & 0xF] + ((entry & 0x8000) ? 0x80 : 0));
        *out++ = static_cast<uint8_t>(kHex[entry & 0xF]);
    }
    *out++ = 0xFF;
    *out = 0xFF;
}

bool CheckReplyRoute(const Packet* packet) {
    for (int i = 0; i + 1 < kPacketAddressSize; i += 2) {
        if (packet->address[i] == 0xFF) return true;
        if (!IsHexDigit(packet->address[i]) || !IsHexDigit(packet->address[i + 1])) return false;
    }
    return packet->address[kPacketAddressSize - 2] == 0xFF;
}
