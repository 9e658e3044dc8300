// The simulated module behind a gateway: text command lines ended by CR
// ("A" route, "R" read, "W" write), each answered by a line ended by CR.
// Faults: no answer to every Nth command, an error line instead of the
// answer to "R" and "W", and damaged answers (a number too many in front,
// or a bare CR that is not bare).
#include <cstdio>
#include <sstream>
#include <string>

#include "sim_slave.h"

namespace {

class GatewaySlave : public SimSlave {
  public:
    explicit GatewaySlave(SimContext& context) : c_(context) {}
    void OnByte(uint8_t byte) override {
        byte &= 0x7F;
        if (byte == '\r') {
            std::string line;
            line.swap(line_);
            Answer(line);
        } else if (byte >= 0x20 && line_.size() < 1024) {
            line_ += char(byte);
        }
    }

    // An error line nobody asked for, as a confused gateway sends them.
    void Chatter() override { Send("ERROR 9\r"); }

  private:
    void Send(const std::string& text) { c_.writer->Send(Bytes(text.begin(), text.end())); }

    // An answer, damaged while --corrupt-first lasts: a gateway line has no
    // check, so what the line spoils shows only in the line's shape.
    void SendAnswer(std::string text) {
        if (c_.CorruptThisReply()) text = text == "\r" ? "?\r" : "0 " + text;
        Send(text);
    }

    void Answer(const std::string& line) {
        if (line.empty()) return;
        if (c_.DropThisRequest()) return;
        if (int ms = c_.DelayThisReply()) c_.writer->Delay(ms);
        // Any route leads to this module; the gateway's own acknowledge is no
        // reply of the module's and is never damaged.
        if (line[0] == 'A') return Send("\r");
        if (c_.options.errorCode >= 0)
            return SendAnswer("ERROR " + std::to_string(c_.options.errorCode) + "\r");
        std::istringstream in(line.substr(1));
        switch (line[0]) {
            case 'R':
                return Read(in);
            case 'W':
                return Write(in);
            default:
                return SendAnswer("ERROR 1\r");
        }
    }

    void Read(std::istringstream& in) {
        int first = 0, count = 0;
        uint16_t values[128];
        if (!(in >> first >> count) || count < 1 || count > 128 ||
            c_.image.Read(first, count, values) != RegisterStatus::Ok)
            return SendAnswer("ERROR 2\r");
        std::string reply;
        for (int i = 0; i < count; ++i) reply += (i ? " " : "") + std::to_string(values[i]);
        SendAnswer(reply + "\r");
    }

    // Values come as 32-bit numbers (negative ones sign-widened); the low 16
    // bits are the register's.
    void Write(std::istringstream& in) {
        int first = 0;
        unsigned long value;
        uint16_t values[128];
        int count = 0;
        if (!(in >> first)) return SendAnswer("ERROR 3\r");
        while (count < 128 && in >> value) values[count++] = uint16_t(value);
        if (count == 0 || c_.image.Write(first, count, values) != RegisterStatus::Ok)
            return SendAnswer("ERROR 2\r");
        SendAnswer("\r");
    }

    SimContext& c_;
    std::string line_;
};

}  // namespace

std::unique_ptr<SimSlave> MakeGatewaySlave(SimContext& context) {
    return std::make_unique<GatewaySlave>(context);
}
