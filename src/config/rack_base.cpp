// The register references inside poll queries: found, counted and moved by
// a distance when the rack base changes.
#include "config/rack_base.h"

#include <cstdio>
#include <cstring>

namespace {

// "@" then six digits then one of these letters or the string's end. The
// module reads references up to byte 62, wherever the string ends.
constexpr const char* kReferenceEnds = "DURHOBF";
constexpr int kLastReferenceStart = 55;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsReferenceAt(const char* query, int at) {
    if (query[at] != '@') return false;
    for (int i = 1; i <= 6; ++i)
        if (!IsDigit(query[at + i])) return false;
    const char end = query[at + 7];
    return end == '\0' || std::strchr(kReferenceEnds, end) != nullptr;
}

}  // namespace

int AdjustQueryReferences(char* query, int distance, int* unfit) {
    int found = 0;
    for (int at = 0; at <= kLastReferenceStart; ++at) {
        if (!IsReferenceAt(query, at)) continue;
        ++found;
        if (distance == 0) continue;
        int n = 0;
        for (int i = 1; i <= 4; ++i) n = n * 10 + (query[at + i] - '0');
        const int moved = n + distance;
        if (moved < 0 || moved > 9999) {
            if (unfit) ++*unfit;
            continue;
        }
        char digits[5];
        std::snprintf(digits, sizeof digits, "%04u", unsigned(moved));
        std::memcpy(query + at + 1, digits, 4);  // the last two digits stay
    }
    return found;
}
