// Text flags read by PutText and text entry, and the display attributes.
#pragma once
#include <cstdint>

namespace tf {
// Display attribute, bits 0-2 (also the attribute plane's code).
constexpr uint32_t Normal = 0;
constexpr uint32_t Reverse = 0x01;
constexpr uint32_t Highlight = 0x02;
constexpr uint32_t Alert = 0x04;
constexpr uint32_t AttributeMask = 0x07;
constexpr uint32_t Centre = 0x20;
constexpr uint32_t RightAlign = 0x40;
constexpr uint32_t Upper = 0x1000;
constexpr uint32_t Bell = 0x2000;
}  // namespace tf

// The console colour of each display attribute code.
uint8_t ConsoleColourOf(uint8_t attribute);
