// The keys waiting to be read.
#include "ui/input_queue.h"

void InputQueue::PutInRing(uint8_t code) {
    ++pending_;
    writeIndex_ = (writeIndex_ + 1) % kRingSize;
    ring_[writeIndex_] = code;
}

void InputQueue::Stuff(uint8_t code) {
    if (!waiting_.empty()) {
        waiting_.push_back(code);  // behind the keys queued first
        return;
    }
    if (pending_ < kRingSize) PutInRing(code);  // a full ring keeps what it holds
}

void InputQueue::StuffAll(uint8_t code) {
    if (waiting_.empty() && pending_ < kRingSize)
        PutInRing(code);
    else
        waiting_.push_back(code);
}

bool InputQueue::PutBack(uint8_t code) {
    if (pending_ == kRingSize) return false;
    // The read index names the slot read last: the key goes there, and the
    // index steps back so that it is read next.
    ring_[readIndex_] = code;
    readIndex_ = (readIndex_ + kRingSize - 1) % kRingSize;
    ++pending_;
    return true;
}

bool InputQueue::Take(uint8_t& code) {
    while (pending_ < kRingSize && !waiting_.empty()) {
        PutInRing(waiting_.front());
        waiting_.pop_front();
    }
    if (pending_ == 0) return false;
    --pending_;
    readIndex_ = (readIndex_ + 1) % kRingSize;
    code = ring_[readIndex_];
    return true;
}

void InputQueue::Clear() {
    pending_ = readIndex_ = writeIndex_ = 0;
    waiting_.clear();
}
