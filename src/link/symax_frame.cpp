// Frame-at-a-time Sy/Max framing, the far end's view of the protocol.
#include "link/symax_frame.h"

#include "link/checksum.h"
#include "link/symax_codes.h"

using namespace symax;

namespace {

constexpr size_t kMaxData = 263;

}  // namespace

Bytes EncodeSyMaxFrame(uint8_t tag, const Bytes& route, const Bytes& data, bool crc) {
    uint16_t check = crc ? kCrcStart : 0;
    auto add = [&](uint8_t b) { check = ChecksumStep(check, b, crc); };
    Bytes out = {DLE, SOH, tag};
    add(tag);
    for (uint8_t c : route) out.push_back(c), add(c);
    out.push_back(DLE), out.push_back(STX), add(DLE), add(STX);
    for (uint8_t b : data) {
        out.push_back(b), add(b);
        if (b == DLE) out.push_back(DLE), add(DLE);
    }
    out.push_back(DLE), out.push_back(ETX), add(DLE), add(ETX);
    if (crc) out.push_back(static_cast<uint8_t>(check >> 8));
    out.push_back(static_cast<uint8_t>(check));
    return out;
}

void SyMaxFrameReader::Add(uint8_t byte) { check_ = ChecksumStep(check_, byte, crc_); }

SyMaxFrameEvent SyMaxFrameReader::Broke() {
    state_ = Idle;
    return {SyMaxFrameEvent::Broken};
}

SyMaxFrameEvent SyMaxFrameReader::Feed(uint8_t byte) {
    if (state_ == CheckHigh) {
        if (byte != (check_ >> 8)) return Broke();
        state_ = CheckLow;
        return {};
    }
    if (state_ == CheckLow) {
        if (byte != (check_ & 0xFF)) return Broke();
        state_ = Idle;
        SyMaxFrameEvent event{SyMaxFrameEvent::Frame, tag_};
        event.route = route_;
        event.data = data_;
        return event;
    }
    if (afterDle_) {
        afterDle_ = false;
        return Pair(byte);
    }
    if (byte == DLE) {
        afterDle_ = true;
        return {};
    }
    return Plain(byte);
}

SyMaxFrameEvent SyMaxFrameReader::Pair(uint8_t byte) {
    if (byte == SOH) {
        state_ = Tag;
        check_ = crc_ ? kCrcStart : 0;
        route_.clear();
        data_.clear();
        return {};
    }
    if (state_ == Route && byte == STX) {
        Add(DLE), Add(STX);
        state_ = Data;
        return {};
    }
    if (state_ == Data && byte == ETX) {
        Add(DLE), Add(ETX);
        state_ = crc_ ? CheckHigh : CheckLow;
        return {};
    }
    if (state_ == Data && byte == DLE) {
        if (data_.size() >= kMaxData) return Broke();
        Add(DLE), Add(DLE);
        data_.push_back(DLE);
        return {};
    }
    SyMaxFrameEvent event{SyMaxFrameEvent::Control};
    event.control = byte;
    return event;  // link control, also between the bytes of a frame
}

SyMaxFrameEvent SyMaxFrameReader::Plain(uint8_t byte) {
    switch (state_) {
        case Tag:
            if (byte != DC1 && byte != DC2) return Broke();
            tag_ = byte;
            Add(byte);
            state_ = Route;
            return {};
        case Route:
            if (route_.size() >= kMaxRouteChars) return Broke();
            route_.push_back(byte);
            Add(byte);
            return {};
        case Data:
            if (data_.size() >= kMaxData) return Broke();
            data_.push_back(byte);
            Add(byte);
            return {};
        default:
            return {};  // fill bytes and noise between frames
    }
}
