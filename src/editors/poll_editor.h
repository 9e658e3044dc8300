// The periodic poll editor: a port's poll interval and its sixteen poll
// queries, walked with Up and Down and left with Enter.
#pragma once
#include <cstdint>
#include <string>

#include "config/module_config.h"
#include "config/online_writes.h"

// Returns 1 when left with Enter, 0 when an online transfer failed. Redraws
// the port editor screen before it returns.
int EditPolling(PortConfig& port, int portIndex, OnlineWrites& writes);

// The interval (hundredths of a second) as typed: leading digits are the
// seconds; the two characters after the first "." the hundredths, a
// non-digit counting as 0.
uint32_t ParsePollInterval(const char* text);
std::string PollIntervalText(uint32_t interval);
