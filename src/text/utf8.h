// Reading UTF-8 one character at a time, as file names and text
// configurations hold it.
#pragma once
#include <cstddef>
#include <string_view>

// The character that starts at text[at], and at moved past it. A byte that
// starts no well-formed character (a stray continuation byte, a sequence cut
// short, an overlong form, a surrogate, a code past U+10FFFF) is returned as
// kNoCharacter with at moved past that one byte.
constexpr char32_t kNoCharacter = 0xFFFFFFFF;
char32_t NextCharacter(std::string_view text, size_t& at);
