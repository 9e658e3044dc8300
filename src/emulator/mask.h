// The output mask of a data path: keeps, replaces or deletes the characters of
// a matched message, position by position.
#pragma once
#include <string>
#include <string_view>

// The mask character that deletes the text character at its position.
constexpr char kMaskDelete = 0x7F;

// '_' keeps the character, DEL removes it (the text position stays), any other
// mask character replaces it. The result ends where the mask or the text ends.
std::string ApplyMask(std::string_view mask, std::string_view text);
