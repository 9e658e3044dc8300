// What a Sy/Max link keeps beyond the common core and the serial framing:
// the link control of its two state machines (acknowledge tags, inquiries,
// retries) and its request options. Made with the link, as its protocol.
#pragma once
#include <cstdint>
#include <memory>

#include "link/link_state.h"

struct SyMaxState : ProtocolState {
    uint8_t controlReply = 0x15;  // the reply byte of the next DLE pair: NAK until a frame is taken
    uint8_t fillCount = 0;        // fill bytes before the next inquiry
    uint8_t nextTag = 0x11;       // the tag of the next frame (DC1, DC2 in turn)
    uint8_t inquiryCount = 0;     // inquiries left while awaiting the acknowledge
    uint8_t retryCount = 0;       // sends left for a refused frame
    uint8_t priorityOpcodes = 0;
    uint8_t expectedTransaction = 0;  // the number a reply frame must carry to be queued
};

std::unique_ptr<ProtocolState> NewSyMaxState();
// The state of a Sy/Max link (its backend is Sy/Max's, fixed at creation).
inline SyMaxState& SyMax(Link* link) { return static_cast<SyMaxState&>(*link->protocol); }
