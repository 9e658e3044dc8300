// Byte values typed in hexadecimal, queued to stand in for received
// characters ahead of the keyboard.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

// Blank-separated runs of hex digits, each kept to its low 8 bits
// ("1FF" gives FF); anything but a hex digit separates like a blank.
std::vector<uint8_t> ParseHexCodes(const char* text);

class HexCodeQueue {
  public:
    static constexpr size_t kCapacity = 100;
    // Queues the codes behind those waiting. A 00 is dropped: a received
    // character can never be NUL (the texts end at NUL, and a 0 from the
    // keyboard introduces an extended key). Codes beyond the capacity are
    // dropped too. Returns how many were queued.
    size_t Append(const std::vector<uint8_t>& codes);
    bool Empty() const { return codes_.empty(); }
    size_t Size() const { return codes_.size(); }
    uint8_t Take();

  private:
    std::deque<uint8_t> codes_;
};
