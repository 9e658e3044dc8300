// Feeding lines into the module's message processing, one port at a time.
#include "port_feeds.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "emulator/port_processing.h"
#include "emulator/register_image.h"
#include "transfer/register_map.h"
#include "transfer/section_codec.h"

namespace {

using Ms = std::chrono::milliseconds;

// The controller's registers as the simulated module stands in for them: the
// holding registers from RackBase up (as many as the emulator's image holds),
// the signal register at RackBase itself.
class SimulatorRegisters : public ControllerRegisters {
  public:
    explicit SimulatorRegisters(RegisterImage& image)
        : image_(image), rackBase_(int16_t(image.At(kRackBaseRegister))) {}
    void WriteBlock(int start, const std::vector<int16_t>& registers) override {
        for (size_t i = 0; i < registers.size(); ++i)
            if (Holds(start + int(i))) image_.At(start + int(i)) = uint16_t(registers[i]);
    }
    void ToggleSignal(uint16_t bit) override {
        if (Holds(rackBase_)) image_.At(rackBase_) ^= bit;
    }

  private:
    bool Holds(long reg) const {
        return reg >= 1 && reg <= kRegisterCount && reg - rackBase_ >= 0 &&
               reg - rackBase_ < kImageRegisters;
    }
    RegisterImage& image_;
    int rackBase_;
};

// The port's configuration as its registers hold it now.
PortConfig PortFromRegisters(const RegisterImage& image, int port) {
    PortConfig config{};
    for (const PortSection& section : kPortSections)
        DecodeSection(&image.holding[SectionRegister(port, section) - 1], section, config);
    return config;
}

void SetCts(RegisterImage& image, int port, bool up) {
    uint16_t bit = uint16_t(1u << (port - 1));
    uint16_t& cts = image.At(kCtsStatusRegister);
    cts = up ? uint16_t(cts | bit) : uint16_t(cts & ~bit);
}

void Complete(MessageTexts& texts, const PortConfig& config, int port, RegisterImage& image) {
    SimulatorRegisters registers(image);
    ProcessPortMessage(config, port, texts.accepted, registers);
    texts.Clear();
}

}  // namespace

bool ParseFeedOption(const char* text, FeedOption* feed) {
    std::string item = text;
    if (item.size() < 3 || item[0] < '1' || item[0] > '4' || item[1] != '=') return false;
    feed->port = item[0] - '0';
    size_t at = item.rfind('@');
    feed->intervalMs = 1000;
    if (at != std::string::npos && at > 2) {
        std::string ms = item.substr(at + 1);
        if (ms.empty() || ms.size() > 7 || ms.find_first_not_of("0123456789") != std::string::npos)
            return false;
        feed->intervalMs = std::stoi(ms);
        if (feed->intervalMs < 10) return false;
        item.resize(at);
    }
    feed->file = item.substr(2);
    return !feed->file.empty();
}

bool PortFeeds::Load(const std::vector<FeedOption>& options) {
    Clock::time_point now = Clock::now();
    for (const FeedOption& option : options) {
        Feed feed;
        feed.option = option;
        std::ifstream in(option.file, std::ios::binary);
        if (!in) {
            fprintf(stderr, "kova-sim: cannot read %s: %s\n", option.file.c_str(), strerror(errno));
            return false;
        }
        // A line's own ending (LF or CR LF) is dropped: every line is sent
        // with CR LF, as the devices the module takes end theirs.
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            feed.lines.push_back(line);
        }
        if (feed.lines.empty()) {
            fprintf(stderr, "kova-sim: %s holds no line\n", option.file.c_str());
            return false;
        }
        feed.due = now;
        feeds_.push_back(std::move(feed));
    }
    return true;
}

int PortFeeds::MsUntilDue() const {
    if (feeds_.empty()) return -1;
    Clock::time_point soonest = Clock::time_point::max();
    for (const Feed& feed : feeds_) {
        soonest = std::min(soonest, feed.due);
        if (feed.ctsUp) soonest = std::min(soonest, feed.ctsOff);
        if (feed.timing) soonest = std::min(soonest, feed.timeoutAt);
    }
    auto left = std::chrono::ceil<Ms>(soonest - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

void PortFeeds::RunDue(RegisterImage& image) {
    Clock::time_point now = Clock::now();
    for (Feed& feed : feeds_) {
        int port = feed.option.port;
        if (feed.timing && now >= feed.timeoutAt) {
            feed.timing = false;
            if (!feed.texts.AcceptedEmpty())
                Complete(feed.texts, PortFromRegisters(image, port), port, image);
        }
        if (feed.ctsUp && now >= feed.ctsOff) {
            feed.ctsUp = false;
            SetCts(image, port, false);
        }
        if (now >= feed.due) Deliver(feed, image, now);
    }
}

void PortFeeds::Deliver(Feed& feed, RegisterImage& image, Clock::time_point now) {
    int port = feed.option.port;
    const std::string& line = feed.lines[feed.next];
    feed.next = (feed.next + 1) % feed.lines.size();
    // Due times step by the interval, so a late wake-up does not drift the feed.
    feed.due += Ms(feed.option.intervalMs);
    if (feed.due <= now) feed.due = now + Ms(feed.option.intervalMs);
    feed.ctsUp = true;
    feed.ctsOff = now + Ms(feed.option.intervalMs / 2);
    SetCts(image, port, true);

    PortConfig config = PortFromRegisters(image, port);
    uint16_t count = image.At(TerminateCountRegister(port));
    ReceiveBytes(feed.texts, config, count, line + "\r\n",
                 [&](MessageTexts& texts) { Complete(texts, config, port, image); });
    // A message left open ends after its port's timeout of quiet, counted
    // in hundredths of a second.
    int16_t timeout = int16_t(image.At(TerminateTimeoutRegister(port)));
    feed.timing = timeout > 0 && !feed.texts.AcceptedEmpty();
    if (feed.timing) feed.timeoutAt = now + Ms(10 * timeout);
}
