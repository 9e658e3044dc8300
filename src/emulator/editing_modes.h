// The eight editing modes that turn a masked message into a block of 16-bit
// controller registers (32-bit arithmetic, each register keeps the low 16 bits).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class EditingMode : uint8_t { Ascii, Packed, Integer, Float, Bcd, Hex, Octal, Idec };
constexpr int kEditingModeCount = 8;
// Most registers one block may hold.
constexpr int kMaxRegisterCount = 64;

// The seven-character name shown on screen ("ASCII  ", ...); a code outside
// the list (a damaged record) shows as its number and "?" ("200?").
std::string EditingModeName(uint8_t mode);

// The block of count registers (clamped to 0-64) that the mode makes of the
// text; registers the mode does not fill are 0, as is every register of an
// unknown mode.
std::vector<int16_t> ConvertText(uint8_t mode, std::string_view text, int count);
