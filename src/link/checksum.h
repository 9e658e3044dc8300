// The two frame checks of the serial protocols: the Sy/Max BCC (two's
// complement of the byte sum) and the CRC-16 of Modbus (reflected 0xA001).
#pragma once
#include <cstddef>
#include <cstdint>

constexpr uint16_t kCrcStart = 0xFFFF;

uint16_t CrcStep(uint16_t crc, uint8_t byte);
// One update of either check: BCC subtracts the byte, CRC mode runs the table.
uint16_t ChecksumStep(uint16_t accumulator, uint8_t byte, bool crcMode);
uint16_t Crc16(const uint8_t* bytes, size_t count);
