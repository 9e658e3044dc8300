// Sets of characters or key codes named by a text such as "A-Z0-9$._": a
// hyphen between two characters is the inclusive range, a hyphen at either
// end stands for itself, and a range written backwards adds its two ends.
#pragma once
#include <bitset>

using KeySet = std::bitset<256>;

KeySet CharSetOf(const char* text);  // with ranges
KeySet KeySetOf(const char* text);   // exit keys: every byte is itself
