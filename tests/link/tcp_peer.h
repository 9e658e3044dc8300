// A scripted Modbus TCP server on a loopback port for the link tests: it
// reads each request frame and answers as the test's handler says (a reply,
// silence, a reset or a close), in its own thread, stopped by the fixture.
#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

using Frame = std::vector<uint8_t>;

struct PeerAnswer {
    enum Then { Keep, Reset, Close };
    Frame bytes;  // sent as they stand (possibly several frames, possibly none)
    Then then = Keep;
};

class TcpPeer {
  public:
    using Handler = std::function<PeerAnswer(const Frame& request)>;
    // family AF_INET listens on 127.0.0.1, AF_INET6 on ::1; port 0 picks one.
    explicit TcpPeer(Handler handler, int family = 2 /* AF_INET */);
    ~TcpPeer();
    TcpPeer(const TcpPeer&) = delete;
    TcpPeer& operator=(const TcpPeer&) = delete;

    bool Listening() const { return listener_ >= 0; }
    int Port() const { return port_; }
    int Connections() const { return connections_; }
    // True once n connections were accepted (within a few seconds).
    bool AwaitConnections(int n);
    std::vector<Frame> Requests();
    // Closes the listener: later connects are refused.
    void StopListening();
    // Resets the current connection at once (an idle connection torn down).
    void DropConnection(PeerAnswer::Then how);

  private:
    void Run();
    bool ServeRequest(int fd);  // false once fd is closed
    Handler handler_;
    std::atomic<int> listener_{-1};
    int port_ = 0;
    int wake_[2] = {-1, -1};
    std::atomic<int> connections_{0};
    std::atomic<int> dropRequest_{-1};
    std::mutex lock_;
    std::vector<Frame> requests_;
    std::condition_variable accepted_;
    std::thread thread_;
};

// A reply frame: transaction, unit, then the PDU; the length field follows
// the PDU unless lengthField is given.
Frame MbapFrame(uint16_t transaction, uint8_t unit, const Frame& pdu, int lengthField = -1);
uint16_t TransactionOf(const Frame& request);
// The standard answer of a server holding register r at value r * 3 + 1.
PeerAnswer PatternAnswer(const Frame& request);
