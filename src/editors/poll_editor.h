// The periodic poll editor: a port's poll interval and its sixteen poll
// queries, walked with Up and Down and left with Enter.
#pragma once
#include <cstdint>
#include <string>

#include "config/module_config.h"
#include "config/online_writes.h"
#include "ui/key_loop.h"

// Returns 1 when left with Enter, 0 when an online transfer failed. Redraws
// the port editor screen before it returns.
int EditPolling(PortConfig& port, int portIndex, OnlineWrites& writes);

// The fields as a screen of the key loop, which EditPolling runs once it has
// drawn them: the next key is the one that ended the field in turn, after
// which a changed field is sent; Up and Down walk the fields, Enter leaves, and
// so does a failed transfer.
class PollEditorScreen final : public KeyScreen {
  public:
    PollEditorScreen(PortConfig& port, int portIndex, OnlineWrites& writes);
    int NextKey() override;
    KeyResult OnKey(int key) override;
    void Show() override {}
    int Field() const { return field_; }  // 0 the interval, 1-16 the queries
    bool Failed() const { return failed_; }

  private:
    PortConfig& port_;
    int portIndex_;
    OnlineWrites& writes_;
    int field_ = 0;
    bool changed_ = false;  // the field just edited differs from what it was
    bool failed_ = false;
};

// The interval (hundredths of a second) as typed: leading digits are the
// seconds; the two characters after the first "." the hundredths, a
// non-digit counting as 0.
uint32_t ParsePollInterval(const char* text);
std::string PollIntervalText(uint32_t interval);
