// Steps of a fixed schedule on a clock_gettime() clock: the next poll is the
// last one's time plus the interval, so a slow request never shifts the ones
// after it.
#pragma once
#include <time.h>

namespace tools {

inline timespec PlusMilliseconds(timespec t, long ms) {
    t.tv_sec += ms / 1000;
    t.tv_nsec += (ms % 1000) * 1000000L;
    if (t.tv_nsec >= 1000000000L) {
        t.tv_nsec -= 1000000000L;
        ++t.tv_sec;
    }
    return t;
}

inline bool Before(const timespec& a, const timespec& b) {
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

}  // namespace tools
