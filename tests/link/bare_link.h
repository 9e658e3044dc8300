// A link record without port or thread, for feeding the protocol state
// machines bytes directly and reading what they produce.
#pragma once
#include <cstdint>
#include <vector>

#include "link/link_lifecycle.h"
#include "link/link_state.h"

using Bytes = std::vector<uint8_t>;

class BareLink {
  public:
    explicit BareLink(LinkKind kind) : link_(CreateLink(kind)) {
        // A write "in progress" keeps the transmitter from being pumped, so the
        // test pulls each byte itself.
        if (link_->framing) link_->framing->lineFlags |= LineWriting;
    }
    ~BareLink() { DestroyLink(link_); }
    BareLink(const BareLink&) = delete;
    BareLink& operator=(const BareLink&) = delete;

    Link* operator->() const { return link_; }
    Link* get() const { return link_; }

    void Feed(const Bytes& bytes) {
        for (uint8_t b : bytes) ReceiveByte(link_, b);
    }
    // Up to limit bytes of what the transmitter has to send now.
    Bytes Pull(size_t limit = 4096) {
        Bytes out;
        while (out.size() < limit) {
            int b = NextTransmitByte(link_);
            if (b >= 256) break;
            out.push_back(static_cast<uint8_t>(b));
        }
        return out;
    }
    // Queues a request packet with the given address area and data.
    void Queue(const Bytes& address, const Bytes& data) {
        Packet* packet = TakeFreePacket(link_);
        std::copy(address.begin(), address.end(), packet->address);
        std::copy(data.begin(), data.end(), packet->data);
        packet->length = static_cast<uint16_t>(data.size());
        AppendPacket(link_->transmitQueue, packet);
    }
    int Replies() const { return CountPackets(link_->replyQueue); }

  private:
    Link* link_;
};
