// What the serial kinds' byte-level framing keeps between two bytes: the
// frame being received, the one being sent, the line's handshake flags and
// the reader's transmit buffer. Each serial kind gives the receive and
// transmit states its own meaning. Made with every link whose kind frames
// bytes on a line; a link without one (Modbus TCP) has none.
#pragma once
#include <cstdint>

#include "link/packet.h"

constexpr int kSerialBufferSize = 258;

// Line flags shared by the transmitter and the receiver.
enum LineFlag : uint16_t {
    LineSendDle = 0x01,
    LineSendEnq = 0x02,
    LineSendDleReply = 0x04,
    LineSendReply = 0x08,
    LineSendDleSyn = 0x10,
    LineSendSyn = 0x20,
    LineCrcMode = 0x40,
    LineInFrame = 0x80,
    LineWriting = 0x100,
};

struct SerialFraming {
    uint16_t readChunk = 0;  // bytes taken from the line at most per read
    uint8_t receiveState = 0;
    uint8_t receiveFlags = 0;
    Packet* receivePacket = nullptr;
    uint8_t* writePosition = nullptr;
    uint16_t roomLeft = 0;
    uint16_t receiveChecksum = 0;
    uint8_t frameTag = 0x15;

    uint8_t transmitBuffer[kSerialBufferSize] = {};
    uint16_t transmitLength = 0;
    uint16_t transmitChunk = 0;
    uint8_t transmitState = 0;
    uint16_t lineFlags = 0;
    Packet* transmitPacket = nullptr;
    uint8_t* readPosition = nullptr;
    uint16_t bytesLeft = 0;
    uint16_t transmitChecksum = 0;

    // Set while a request waits for its reply: a frame that comes otherwise
    // answers nothing.
    uint16_t awaitingReply = 0;
};
