// Table-driven CRC-16 (the low byte of the table index is the running CRC
// xor the byte, as the reflected algorithm requires) and the BCC.
#include "link/checksum.h"

#include <array>

namespace {

constexpr std::array<uint16_t, 256> MakeCrcTable() {
    std::array<uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        uint16_t crc = static_cast<uint16_t>(i);
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
        table[i] = crc;
    }
    return table;
}

constexpr auto kCrcTable = MakeCrcTable();

}  // namespace

uint16_t CrcStep(uint16_t crc, uint8_t byte) {
    return static_cast<uint16_t>((crc >> 8) ^ kCrcTable[(crc ^ byte) & 0xFF]);
}

uint16_t ChecksumStep(uint16_t accumulator, uint8_t byte, bool crcMode) {
    if (crcMode) return CrcStep(accumulator, byte);
    return static_cast<uint16_t>(accumulator - byte);
}

uint16_t Crc16(const uint8_t* bytes, size_t count) {
    uint16_t crc = kCrcStart;
    for (size_t i = 0; i < count; ++i) crc = CrcStep(crc, bytes[i]);
    return crc;
}
