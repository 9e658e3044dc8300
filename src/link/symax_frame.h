// Whole Sy/Max frames for the far end of a link (the simulated module, test
// peers): encoding a frame and reading frames and link control from bytes.
#pragma once
#include <cstdint>
#include <vector>

using Bytes = std::vector<uint8_t>;

// DLE SOH tag route DLE STX data DLE ETX check, data 0x10 doubled.
Bytes EncodeSyMaxFrame(uint8_t tag, const Bytes& route, const Bytes& data, bool crc);

struct SyMaxFrameEvent {
    enum Kind { None, Frame, Control, Broken } kind = None;
    uint8_t tag = 0;      // Frame
    Bytes route, data;    // Frame
    uint8_t control = 0;  // Control: the byte after a DLE outside frame syntax
};

class SyMaxFrameReader {
  public:
    explicit SyMaxFrameReader(bool crc) : crc_(crc) {}
    void SetCrc(bool crc) { crc_ = crc; }
    SyMaxFrameEvent Feed(uint8_t byte);

  private:
    enum State { Idle, Tag, Route, Data, CheckHigh, CheckLow };
    SyMaxFrameEvent Pair(uint8_t byte);
    SyMaxFrameEvent Plain(uint8_t byte);
    SyMaxFrameEvent Broke();
    void Add(uint8_t byte);

    bool crc_;
    State state_ = Idle;
    bool afterDle_ = false;
    uint16_t check_ = 0;
    uint8_t tag_ = 0;
    Bytes route_, data_;
};
