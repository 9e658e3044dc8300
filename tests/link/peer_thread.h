// The far end of a pty played by a thread: each received byte goes to a
// handler whose answer is written back. What the handler records must be
// guarded, since the test reads it from its own thread.
#pragma once
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

#include "common/pty_pair.h"

class PeerThread {
  public:
    using Handler = std::function<Bytes(uint8_t byte)>;
    PeerThread(PtyPair& pty, Handler handler);
    ~PeerThread();
    PeerThread(const PeerThread&) = delete;
    PeerThread& operator=(const PeerThread&) = delete;

  private:
    void Run();
    PtyPair& pty_;
    Handler handler_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// A list filled by the peer and read by the test.
template <class T>
class Shared {
  public:
    void Add(const T& item) {
        std::lock_guard<std::mutex> guard(lock_);
        items_.push_back(item);
    }
    std::vector<T> Items() const {
        std::lock_guard<std::mutex> guard(lock_);
        return items_;
    }

  private:
    mutable std::mutex lock_;
    std::vector<T> items_;
};
