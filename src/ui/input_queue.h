// The keys waiting to be read, in one place: the type-ahead ring that typed
// and queued keys go through (a hundred, as a keyboard buffer holds; keys
// beyond it are dropped), the keys that must all arrive however many (a
// command line's, kept in order behind the ring and moved in as it empties),
// and a key put back to be read next.
#pragma once
#include <cstdint>
#include <deque>

class InputQueue {
  public:
    static constexpr int kRingSize = 100;

    // A key typed ahead: dropped when the ring is full and none waits behind it.
    void Stuff(uint8_t code);
    // A key that must arrive: behind everything queued, however many.
    void StuffAll(uint8_t code);
    // The key to be read next; false (and nothing changes) when the ring is full.
    bool PutBack(uint8_t code);
    // The next key; false when none is queued.
    bool Take(uint8_t& code);
    bool Empty() const { return pending_ == 0 && waiting_.empty(); }
    void Clear();

  private:
    void PutInRing(uint8_t code);

    uint8_t ring_[kRingSize] = {};
    int pending_ = 0, readIndex_ = 0, writeIndex_ = 0;
    std::deque<uint8_t> waiting_;
};
