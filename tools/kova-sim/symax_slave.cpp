// Sy/Max slave: acknowledges each good frame with DLE and its tag (or NAKs
// it, as a fault), answers with a frame of its own, repeats that frame on
// NAK and its last acknowledge on ENQ.
#include "link/symax_codes.h"
#include "link/symax_frame.h"
#include "replies.h"
#include "sim_slave.h"

using namespace symax;

namespace {

class SyMaxSlave : public SimSlave {
  public:
    explicit SyMaxSlave(SimContext& context) : c_(context), reader_(context.options.crc) {}

    void OnByte(uint8_t byte) override {
        SyMaxFrameEvent event = reader_.Feed(byte);
        switch (event.kind) {
            case SyMaxFrameEvent::Frame:
                return OnFrame(event);
            case SyMaxFrameEvent::Control:
                return OnControl(event.control);
            case SyMaxFrameEvent::Broken:
                return SendControl(NAK);
            case SyMaxFrameEvent::None:
                return;
        }
    }

  private:
    void SendControl(uint8_t control) {
        lastControl_ = control;
        c_.writer->Send({DLE, control});
    }

    void OnFrame(const SyMaxFrameEvent& frame) {
        if (c_.naks < c_.options.nakFirst) {
            ++c_.naks;
            return SendControl(NAK);
        }
        SendControl(frame.tag);
        if (c_.DropThisRequest()) return;
        Bytes data = SyMaxReply(frame.data, c_.image, c_.options.errorCode);
        if (data.empty()) return;
        Bytes route = frame.route;
        for (uint8_t& ch : route) ch &= 0x7F;
        lastReply_ = EncodeSyMaxFrame(tag_, route, data, c_.options.crc);
        resends_ = 0;
        Bytes wire = lastReply_;
        if (c_.CorruptThisReply()) wire.back() ^= 0x5A;
        c_.writer->Delay(c_.DelayThisReply());
        c_.writer->Send(wire);
    }

    void OnControl(uint8_t control) {
        if (control == ENQ) return c_.writer->Send({DLE, lastControl_});
        if (lastReply_.empty()) return;
        if (control == tag_) {  // our reply got through
            lastReply_.clear();
            tag_ = tag_ == DC1 ? DC2 : DC1;
        } else if ((control == NAK || control == SYN) && resends_++ < kRetries) {
            c_.writer->Send(lastReply_);
        }
    }

    SimContext& c_;
    SyMaxFrameReader reader_;
    uint8_t lastControl_ = NAK;
    uint8_t tag_ = DC1;
    Bytes lastReply_;
    int resends_ = 0;
};

}  // namespace

std::unique_ptr<SimSlave> MakeSyMaxSlave(SimContext& context) {
    return std::make_unique<SyMaxSlave>(context);
}
