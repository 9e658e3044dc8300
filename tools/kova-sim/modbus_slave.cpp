// Modbus RTU and ASCII slaves at one drop. An RTU request ends when its
// length (known from the function code) has come with a good CRC, or at a
// pause; an ASCII request ends at its CR.
#include "link/checksum.h"
#include "link/serial_settings.h"
#include "replies.h"
#include "sim_slave.h"

namespace {

const char kHex[] = "0123456789ABCDEF";

// Length of a whole RTU request (address to CRC) once enough of it has come.
size_t ExpectedRequestLength(const Bytes& frame) {
    if (frame.size() < 2) return 0;
    switch (frame[1]) {
        case 0x03:
        case 0x04:
            return 8;
        case 0x10:
            return frame.size() < 7 ? 0 : 9 + size_t(frame[6]);
        case 0x15:
            return frame.size() < 3 ? 0 : 5 + size_t(frame[2]);
        default:
            return 0;
    }
}

// Answers a request (address + PDU); returns the reply (address + PDU) or empty.
Bytes Answer(SimContext& c, const Bytes& frame) {
    if (frame.size() < 2) return {};
    uint8_t address = frame[0];
    if (address != c.options.drop && address != 0) return {};
    Bytes reply = ModbusReply(Bytes(frame.begin() + 1, frame.end()), c.image, c.options.errorCode);
    if (address == 0 || c.DropThisRequest()) return {};  // broadcasts get no answer
    reply.insert(reply.begin(), address);
    return reply;
}

// What --chatter puts on the line: the reply of another slave on the same
// wire (the next drop up) to a read of two registers, as a master polling
// that slave would hear it.
Bytes OtherSlavesReply(const SimContext& c) {
    const uint8_t other = uint8_t(c.options.drop % 247 + 1);
    return {other, 0x03, 0x04, 0x00, 0x01, 0x00, 0x02};
}

class RtuSlave : public SimSlave {
  public:
    explicit RtuSlave(SimContext& context) : c_(context) {}
    void OnByte(uint8_t byte) override {
        if (frame_.empty()) start_ = std::chrono::steady_clock::now();
        frame_.push_back(byte);
        size_t expected = ExpectedRequestLength(frame_);
        if (expected && frame_.size() >= expected && Crc16(frame_.data(), frame_.size()) == 0)
            OnPause();
        else if (frame_.size() > 300)
            frame_.clear();
    }
    int PauseMs() const override {
        return frame_.empty() ? -1 : int(ReadIntervalMs(c_.options.baud));
    }
    void Chatter() override {
        Bytes frame = OtherSlavesReply(c_);
        uint16_t crc = Crc16(frame.data(), frame.size());
        frame.push_back(uint8_t(crc));
        frame.push_back(uint8_t(crc >> 8));
        c_.writer->Send(frame);
    }
    void OnPause() override {
        Bytes frame;
        frame.swap(frame_);
        if (frame.size() < 4 || Crc16(frame.data(), frame.size()) != 0) return;
        c_.writer->AwaitArrival(start_, frame.size());
        frame.resize(frame.size() - 2);
        Bytes reply = Answer(c_, frame);
        if (reply.empty()) return;
        uint16_t crc = Crc16(reply.data(), reply.size());
        reply.push_back(uint8_t(crc));
        reply.push_back(uint8_t(crc >> 8));
        if (c_.CorruptThisReply()) reply.back() ^= 0x5A;
        c_.writer->Delay(c_.DelayThisReply());
        c_.writer->Send(reply);
    }

  private:
    SimContext& c_;
    Bytes frame_;
    std::chrono::steady_clock::time_point start_;
};

int HexValue(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

class AsciiSlave : public SimSlave {
  public:
    explicit AsciiSlave(SimContext& context) : c_(context) {}
    void OnByte(uint8_t byte) override {
        if (byte == ':') {
            inFrame_ = true;
            digits_.clear();
            start_ = std::chrono::steady_clock::now();
        } else if (inFrame_ && byte == '\r') {
            inFrame_ = false;
            OnLine();
        } else if (inFrame_ && digits_.size() < 600) {
            digits_.push_back(byte);
        }
    }

    void Chatter() override { c_.writer->Send(AsciiFrame(OtherSlavesReply(c_))); }

  private:
    static Bytes AsciiFrame(const Bytes& frame) {
        uint8_t lrc = 0;
        for (uint8_t b : frame) lrc = uint8_t(lrc - b);
        Bytes wire = {':'};
        for (uint8_t b : frame)
            wire.push_back(uint8_t(kHex[b >> 4])), wire.push_back(uint8_t(kHex[b & 15]));
        wire.push_back(uint8_t(kHex[lrc >> 4]));
        wire.push_back(uint8_t(kHex[lrc & 15]));
        wire.push_back('\r');
        wire.push_back('\n');
        return wire;
    }

    void OnLine() {
        if (digits_.size() < 6 || digits_.size() % 2) return;
        Bytes frame;
        uint8_t sum = 0;
        for (size_t i = 0; i < digits_.size(); i += 2) {
            int high = HexValue(digits_[i]), low = HexValue(digits_[i + 1]);
            if (high < 0 || low < 0) return;
            frame.push_back(uint8_t(high << 4 | low));
            sum = uint8_t(sum + frame.back());
        }
        if (sum != 0) return;
        c_.writer->AwaitArrival(start_, digits_.size() + 3);  // ':' digits CR LF
        frame.pop_back();
        Bytes reply = Answer(c_, frame);
        if (reply.empty()) return;
        uint8_t lrc = 0;
        for (uint8_t b : reply) lrc = uint8_t(lrc - b);
        if (c_.CorruptThisReply()) lrc ^= 0x5A;
        reply.push_back(lrc);
        Bytes wire = {':'};
        for (uint8_t b : reply)
            wire.push_back(uint8_t(kHex[b >> 4])), wire.push_back(uint8_t(kHex[b & 15]));
        wire.push_back('\r');
        wire.push_back('\n');
        c_.writer->Delay(c_.DelayThisReply());
        c_.writer->Send(wire);
    }

    SimContext& c_;
    bool inFrame_ = false;
    Bytes digits_;
    std::chrono::steady_clock::time_point start_;
};

}  // namespace

std::unique_ptr<SimSlave> MakeModbusRtuSlave(SimContext& context) {
    return std::make_unique<RtuSlave>(context);
}

std::unique_ptr<SimSlave> MakeModbusAsciiSlave(SimContext& context) {
    return std::make_unique<AsciiSlave>(context);
}
