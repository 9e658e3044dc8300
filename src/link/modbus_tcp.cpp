// Modbus TCP requests over the link's socket: each request drains what is
// waiting, sends its frame, and collects its reply in passes of at most one
// wait tick, skipping replies to other transactions. A lost circuit is
// re-established inside the failing request, so the next one works.
#include "link/modbus_tcp.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>

#include "link/link_backend.h"
#include "link/link_lifecycle.h"
#include "link/link_state.h"
#include "link/mbap_frame.h"
#include "link/socket_errors.h"
#include "link/tcp_socket.h"

namespace {

constexpr int kTickMs = 10;
constexpr std::chrono::milliseconds kReconnectPacing(100);
constexpr int kDrainChunk = 256;
constexpr int kNotConnected = ENOTCONN;

// The connected socket, the address to reconnect to and when the last
// connect was tried (reconnects are paced).
struct TcpState : ProtocolState {
    int socket = -1;
    PeerAddress peer;
    std::chrono::steady_clock::time_point lastConnectAttempt{};
};

TcpState& Tcp(const Link* link) { return static_cast<TcpState&>(*link->protocol); }

// Sets the text for a socket failure (an errno value); true when the circuit
// is gone.
bool SetSocketErrorText(Link* link, const char* prefix, int posixError) {
    char text[kLinkErrorSize];
    bool reconnect = FormatSocketError(prefix, posixError, text, sizeof text);
    SetLinkError(link, LinkFailure::ConnectionLost, "%s", text);
    return reconnect;
}

// A socket failure names what the user asked for, not the step that failed:
// a failed read must not read as something sent to the module.
const char* OperationOf(const MbapRequest& request) {
    const bool read =
        request.function == modbus::kReadHolding || request.function == modbus::kReadInput;
    return read ? kSocketRead : kSocketWrite;
}

bool Idle(Link* link) {
    if (link->idleCallback(link->idleArgument)) return true;
    SetLinkError(link, LinkFailure::Aborted, "Application idle abort");
    return false;
}

using Clock = std::chrono::steady_clock;

// One pass of the reply wait: bytes received (possibly 0), or -1 when the
// request has failed with its text set. A pass without bytes waits up to one
// tick for some to arrive. The whole reply must be in by the end of the
// reply time, however the peer splits it, and by the request's deadline.
long ReceivePass(Link* link, const char* operation, uint8_t* into, int size,
                 Clock::time_point end) {
    const Clock::time_point now = Clock::now();
    if (now >= end || RequestDeadlinePassed(link))
        return SetLinkError(link, LinkFailure::NoReply, "Reply timeout"), -1;
    long n = recv(Tcp(link).socket, into, static_cast<size_t>(size), MSG_DONTWAIT);
    if (n == 0) {
        // The peer closed the connection: no reply can come on it any more.
        if (SetSocketErrorText(link, operation, kNotConnected)) ReconnectSocket(link);
        return -1;
    }
    if (n < 0) {
        if (errno != EAGAIN && errno != EINTR) return ReportSocketError(operation, link), -1;
        n = 0;
    }
    if (!Idle(link)) return -1;
    if (n == 0) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(end - now).count();
        pollfd p{Tcp(link).socket, POLLIN, 0};
        poll(&p, 1, static_cast<int>(std::min<long>(left, kTickMs)));
    }
    return n;
}

// Empties what is waiting on the socket; false when the connection has
// ended meanwhile (closed or reset by the peer, as idle servers do).
bool Drain(Link* link, uint8_t* buffer) {
    for (;;) {
        long n = recv(Tcp(link).socket, buffer, kDrainChunk, MSG_DONTWAIT);
        if (n == 0) return false;
        if (n < 0) return errno == EAGAIN || errno == EINTR;
    }
}

bool SendFrame(Link* link, const char* operation, const uint8_t* frame, int length) {
    long n = SendBytes(Tcp(link).socket, frame, length);
    if (n == length) return true;
    if (n >= 0) errno = EMSGSIZE;  // a dozen bytes always fit a fresh socket buffer
    ReportSocketError(operation, link);
    return false;
}

// A connection for the request: reconnects when the last attempt failed.
bool EnsureConnected(Link* link, const char* operation, uint8_t* buffer) {
    if (Tcp(link).socket >= 0 && Drain(link, buffer)) return true;
    ReconnectSocket(link);
    if (Tcp(link).socket >= 0) return true;
    // Reported, not retried at once: the next request tries again.
    if (errno == ECANCELED)
        SetLinkError(link, LinkFailure::Aborted, "Application idle abort");
    else
        SetSocketErrorText(link, operation, errno);
    return false;
}

// Sends the frame and returns the length of its reply in reply, or 0.
int Exchange(Link* link, const MbapRequest& request, const uint8_t* frame, int length,
             uint8_t* reply) {
    const char* operation = OperationOf(request);
    if (!EnsureConnected(link, operation, reply)) return 0;
    StartRequestDeadline(link);
    if (!SendFrame(link, operation, frame, length)) return 0;
    return ReceiveMbapFrame(link, request, reply);
}

MbapRequest NextRequest(Link* link, uint8_t function, int count) {
    MbapRequest request;
    request.transaction = ++link->transactionCounter;
    request.unit = static_cast<uint8_t>(link->route.count);
    request.function = function;
    request.count = count;
    return request;
}

bool CheckReply(Link* link, const MbapRequest& request, const uint8_t* reply, int length) {
    char text[kLinkErrorSize];
    LinkFailure failure;
    if (const char* fault = CheckMbapReply(request, reply, length, text, sizeof text, &failure)) {
        SetLinkError(link, failure, "%s", fault);
        return false;
    }
    return true;
}

int TcpRead(Link* link, int reg, int count, uint16_t* values, uint8_t function) {
    MbapRequest request = NextRequest(link, function, count);
    uint8_t frame[kMbapRequestSize];
    uint8_t reply[kMbapBufferSize];
    int length = BuildMbapRead(request, reg - 1, frame);
    int received = Exchange(link, request, frame, length, reply);
    if (!received || !CheckReply(link, request, reply, received)) return 0;
    MbapReadValues(reply, count, values);
    return count;
}

int TcpHoldingRead(Link* link, int reg, int count, uint16_t* values) {
    return TcpRead(link, reg, count, values, modbus::kReadHolding);
}

int TcpInputRead(Link* link, int reg, int count, uint16_t* values) {
    return TcpRead(link, reg, count, values, modbus::kReadInput);
}

using FrameBuilder = int (*)(const MbapRequest&, int, const uint16_t*, uint8_t*);

int TcpWriteWith(Link* link, int reg, int count, const uint16_t* values, uint8_t function,
                 int maxCount, FrameBuilder build) {
    // The frame's byte count is one byte: more registers cannot be encoded.
    if (count > maxCount)
        return SetLinkError(link, LinkFailure::NotPossible, "Illegal write count"), 0;
    MbapRequest request = NextRequest(link, function, count);
    uint8_t frame[kMbapRequestSize];
    uint8_t reply[kMbapBufferSize];
    int length = build(request, reg - 1, values, frame);
    int received = Exchange(link, request, frame, length, reply);
    return received && CheckReply(link, request, reply, received) ? count : 0;
}

int TcpWrite(Link* link, int reg, int count, const uint16_t* values) {
    return TcpWriteWith(link, reg, count, values, modbus::kWriteMultiple, modbus::kMaxWrite16,
                        BuildMbapWrite);
}

int TcpGeneralReferenceWrite(Link* link, int reg, int count, const uint16_t* values) {
    return TcpWriteWith(link, reg, count, values, modbus::kWriteGeneralReference,
                        modbus::kMaxWrite21, BuildMbapGeneralReferenceWrite);
}

void CloseTcpLink(Link* link) {
    CloseSocket(Tcp(link).socket);
    Tcp(link).socket = -1;
}

int ReconnectIdle(void* argument) {
    Link* link = static_cast<Link*>(argument);
    return link->idleCallback(link->idleArgument);
}

}  // namespace

int TcpLinkSocket(const Link* link) { return Tcp(link).socket; }

int ReceiveMbapFrame(Link* link, const MbapRequest& request, uint8_t* buffer) {
    const Clock::time_point end =
        Clock::now() + std::chrono::milliseconds(kTickMs) * link->replyTimeout;
    MbapReceiver receiver;
    for (;;) {
        long n = ReceivePass(link, OperationOf(request), buffer + receiver.received,
                             MbapBytesWanted(receiver), end);
        if (n < 0) return 0;
        if (MbapAcceptReply(request, receiver, buffer, static_cast<int>(n)) ==
            MbapProgress::Complete)
            return receiver.received;
    }
}

void ReportSocketError(const char* operation, Link* link) {
    if (SetSocketErrorText(link, operation, errno)) ReconnectSocket(link);
}

// With the server down every connect fails at once; a caller that polls in
// a loop (the register viewer, a benchmark) must not turn that into
// thousands of attempts a second, so attempts are at least this far apart.
// The wait between them calls the idle callback (Esc aborts it).
void ReconnectSocket(Link* link) {
    CloseSocket(Tcp(link).socket);
    Tcp(link).socket = -1;
    auto due = Tcp(link).lastConnectAttempt + kReconnectPacing;
    while (std::chrono::steady_clock::now() < due) {
        if (!link->idleCallback(link->idleArgument)) {
            errno = ECANCELED;
            return;
        }
        auto left = due - std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            left, std::chrono::milliseconds(kTickMs)));
    }
    Tcp(link).lastConnectAttempt = std::chrono::steady_clock::now();
    Tcp(link).socket = ConnectSocket(Tcp(link).peer, ReconnectIdle, link);
}

LinkHandle OpenModbusTcpLink(const char* host, int tcpPort, int drop, std::string* reason) {
    PeerAddress peer;
    if (!ResolvePeer(host ? host : "", tcpPort, &peer)) {
        if (reason) *reason = std::string("Cannot find the host ") + (host ? host : "");
        return nullptr;
    }
    int fd = ConnectSocket(peer, nullptr, nullptr);
    if (fd < 0) {
        if (reason) *reason = std::string("Connect: ") + strerror(errno);
        return nullptr;
    }
    Link* link = CreateLink(LinkModbusTcp);
    link->route.count = static_cast<uint16_t>(drop);
    link->transactionCounter = static_cast<uint16_t>(time(nullptr));
    auto tcp = std::make_unique<TcpState>();
    tcp->socket = fd;
    tcp->lastConnectAttempt = std::chrono::steady_clock::now();
    tcp->peer = peer;
    link->protocol = std::move(tcp);
    link->replyTimeout = kDefaultReplyTimeout;
    return LinkHandle(link);
}

extern const LinkBackend kModbusTcpBackend = {
    LinkModbusTcp,  nullptr,  nullptr,      nullptr,
    TcpHoldingRead, TcpWrite, TcpInputRead, TcpGeneralReferenceWrite,
    CloseTcpLink,   nullptr,  false,        false,
    "Modbus TCP",
};
