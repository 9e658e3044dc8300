// What a link holds: the common core (queues, deadlines, error, lock) and
// the state of its protocol, known only to the link layer, with what the
// protocols share. Outside link/ a link is known by link.h alone.
#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "link/link.h"
#include "link/packet.h"
#include "link/serial_framing.h"

struct SerialPort;  // the transport of a serial link, owned by its reader thread
struct LinkBackend;

// The state a protocol keeps of its own, owned by its link.
struct ProtocolState {
    virtual ~ProtocolState() = default;
};

struct Link {
    Link() = default;
    ~Link();  // frees its packets
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    uint32_t kind = 0;
    // The protocol of the kind, fixed when the link is made; null for the
    // reserved kinds without one.
    const LinkBackend* backend = nullptr;
    std::thread readerThread;
    int stopEvent = -1;  // eventfd: stop and transmit kick for the reader thread
    SerialPort* port = nullptr;
    LinkRoute route;
    // The serial kinds' framing, made with the link; null for the others.
    std::unique_ptr<SerialFraming> framing;

    // The packets of this link: all of them end with it.
    LinkPackets packets;
    PacketQueue replyQueue;
    PacketQueue transmitQueue;
    uint16_t transactionCounter = 0;
    uint8_t netToNet = 0;
    uint16_t replyTimeout = kDefaultReplyTimeout;
    LinkIdleCallback idleCallback = nullptr;
    void* idleArgument = nullptr;

    // What the kind keeps beyond the common core, defined in its own file
    // (Modbus TCP: its socket and peer; Sy/Max: its link control; Gateway:
    // the route it last sent); null for the kinds that need none.
    std::unique_ptr<ProtocolState> protocol;

    // Every request ends by this time, whatever the peer sends (set when the
    // request is sent); a request whose reply did not come leaves replyOverdue
    // set from that moment, so the next one can let a late reply go by first.
    std::chrono::steady_clock::time_point requestDeadline =
        std::chrono::steady_clock::time_point::max();
    bool replyOverdue = false;
    std::chrono::steady_clock::time_point overdueSince{};

    char errorText[kLinkErrorSize] = {};
    LinkFailure failure = LinkFailure::None;

    // Guards every field above that both threads touch; re-entrant because the
    // transmitter runs queue operations while holding it.
    std::recursive_mutex lock;
    std::condition_variable_any replyArrived;
    // Set by the receiver to end a reply wait at once (a frame that can never
    // be a reply); cleared when a wait starts.
    bool waitCancelled = false;
    // Set by the receiver when a frame came while a reply was awaited but
    // failed its check; a request that then times out names the damage
    // rather than a missing reply. Cleared when a request is sent.
    bool damagedReply = false;
};

// Shared by the serial protocols.
int SendPacket(Link* link, Packet* packet);
Packet* WaitForReply(Link* link, int ticks);
// The reply wait of the kinds whose replies are told apart only by their
// shape: up to the link's reply time from now for a reply that fits the
// request. One that does not (a frame of another exchange, a line the peer
// sent on its own) is dropped and the wait goes on; fits sets the text that
// stands when no reply fits. Null when none came or the user aborted.
Packet* WaitForFittingReply(Link* link, const std::function<bool(const Packet*)>& fits);
void ResetQueues(Link* link);
void CancelReplyWait(Link* link);             // the receiver's "wait counter := 0"
void QueueReply(Link* link, Packet* packet);  // wakes the reply wait

// Wall time allowed for a whole request: twice the reply timeout from the
// moment it is sent. The reply wait never outlasts it, even when the peer
// keeps sending bytes that are no answer.
std::chrono::milliseconds RequestAllowance(const Link* link);
void StartRequestDeadline(Link* link);
bool RequestDeadlinePassed(const Link* link);

// The start of every serial request, before its packet is taken: a reply
// to an earlier request that is still on its way is let go by (the kinds
// without transaction numbers), then whatever came before this request is
// discarded: queued replies, requests that failed before they went out, a
// half-received frame. False, with the abort text, when the user ended the
// wait.
bool BeginSerialRequest(Link* link);
// Records how the wait for a reply ended, for the next BeginSerialRequest.
void EndSerialRequest(Link* link, bool replied);
// Before a link whose last request timed out gives its port up: the reply
// still on its way (the kinds without transaction numbers) is let arrive
// and dropped here, at most one reply time after the request gave up, so
// that it cannot answer the first request of the next program on the port.
void LetLateReplyGoByBeforeClose(Link* link);

// The common open of the serial kinds: it sets the kind before the reader
// thread starts; the open routine of each serial kind uses it.
LinkHandle OpenSerialLinkAs(const char* portName, int netToNet, const LinkRoute& route,
                            LinkKind kind, std::string* reason = nullptr);

void KickTransmitter(Link* link);
void PumpTransmitter(Link* link, int written);
void ReceiveByte(Link* link, uint8_t byte);
int NextTransmitByte(Link* link);  // 256 or more: nothing to send now
