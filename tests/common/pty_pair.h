// A pseudo-terminal pair standing in for a serial line: the code under test
// opens the slave path, the test plays the far end on the master with
// deadlines, never with sleeps. The slave starts raw and is held open, so the
// master never sees a hang-up between opens.
#pragma once
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;
using Millis = std::chrono::milliseconds;

class PtyPair {
  public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& SlavePath() const { return slavePath_; }
    int Master() const { return master_; }
    // The slave side this pair holds open: its line settings are the ones the
    // code under test set on the port.
    int SlaveKeeper() const { return slaveKeeper_; }

    void Write(const Bytes& bytes);
    // Reads until count bytes came or the deadline passed; returns what came.
    Bytes Read(size_t count, Millis deadline = Millis(3000));
    // Reads until the predicate holds for what came so far, or the deadline.
    template <class Pred>
    Bytes ReadUntil(Pred done, Millis deadline = Millis(3000)) {
        Bytes got;
        auto end = std::chrono::steady_clock::now() + deadline;
        while (!done(got) && ReadSome(&got, end)) {
        }
        return got;
    }
    // True when nothing arrives within the window.
    bool Quiet(Millis window);
    void CloseMaster();

  private:
    bool ReadSome(Bytes* got, std::chrono::steady_clock::time_point end);
    int master_ = -1;
    int slaveKeeper_ = -1;  // keeps the slave side alive between opens
    std::string slavePath_;
};
