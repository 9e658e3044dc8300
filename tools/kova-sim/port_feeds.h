// Devices on the simulated module's ports: every interval the next line of a
// file arrives on a port, followed by CR LF, and goes through the module's
// own message processing with that port's configuration as the registers
// hold it at that moment; what the paths write lands in the holding
// registers, as the module would put it into the controller's. While a
// device sends (the first half of each interval) its port's CTS bit in
// register 8187 is up.
#pragma once
#include <chrono>
#include <string>
#include <vector>

#include "emulator/message_texts.h"
#include "register_image.h"

struct FeedOption {
    int port = 1;  // 1-4
    std::string file;
    int intervalMs = 1000;
};

// "PORT=FILE[@MS]"; false when it is not that.
bool ParseFeedOption(const char* text, FeedOption* feed);

class PortFeeds {
  public:
    using Clock = std::chrono::steady_clock;
    // Reads the files; false after saying why on standard error (a file that
    // cannot be read or holds no line).
    bool Load(const std::vector<FeedOption>& options);
    // Milliseconds until something is due, -1 when there are no feeds.
    int MsUntilDue() const;
    // Delivers the lines that are due, ends messages whose timeout ran out and
    // lowers CTS bits whose device has finished.
    void RunDue(RegisterImage& image);

  private:
    struct Feed {
        FeedOption option;
        std::vector<std::string> lines;
        size_t next = 0;
        Clock::time_point due, ctsOff, timeoutAt;
        bool ctsUp = false, timing = false;
        MessageTexts texts;
    };
    void Deliver(Feed& feed, RegisterImage& image, Clock::time_point now);
    std::vector<Feed> feeds_;
};
