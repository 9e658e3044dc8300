// One table entry per link kind, as libmodbus plugs in its backends: the
// framing state machines of the serial kinds and the four register requests.
// A new link kind is a new file defining its entry plus one row in the table.
#pragma once
#include <cstdint>
#include <memory>

struct Link;
struct ProtocolState;

struct LinkBackend {
    uint32_t kind;
    // Serial framing; null for kinds without a reader thread.
    void (*receiveByte)(Link* link, uint8_t byte);
    int (*nextTransmitByte)(Link* link);
    // Called by the reader thread after a pause longer than the read interval.
    void (*endOfPause)(Link* link);
    // Register requests after the common checks; null: the kind cannot do it
    // (failing with a text that says so).
    int (*read)(Link* link, int reg, int count, uint16_t* values);
    int (*write)(Link* link, int reg, int count, const uint16_t* values);
    int (*inputRead)(Link* link, int reg, int count, uint16_t* values);
    int (*inputWrite)(Link* link, int reg, int count, const uint16_t* values);
    // Releases what the kind holds beyond the serial port (a socket).
    void (*close)(Link* link);
    // Serial kinds: forgets a half-received frame (and, Sy/Max, a frame of an
    // earlier request still waiting for its acknowledge) before a request is
    // sent, so no byte received before the request becomes part of its answer.
    void (*discardStale)(Link* link);
    // Serial kinds: true when a reply that comes after its request gave up
    // cannot be told from the answer to the next one (no transaction number).
    bool lateRepliesLookCurrent;
    // Serial kinds: true when the receiver itself sends on the line
    // (acknowledges, inquiries) whenever the peer calls for it, between
    // requests too. Such a kind keeps a reader thread on a device server's
    // socket; the others have their socket driven by the request waiting on it.
    bool answersTheLine;
    // As users call the kind, for the texts of what it cannot do.
    const char* name;
    // The kind's own state, made with every link of the kind; null when it
    // keeps none or makes it when it opens.
    std::unique_ptr<ProtocolState> (*newState)();
};

// The entry of a link kind, null for values without one: looked up once,
// when a link is made.
const LinkBackend* FindLinkBackend(uint32_t kind);
