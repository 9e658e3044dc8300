// Character sets of text entry.
#include "ui/char_set.h"

#include <cstring>

KeySet CharSetOf(const char* text) {
    KeySet set;
    const auto* t = reinterpret_cast<const unsigned char*>(text ? text : "");
    const size_t n = std::strlen(reinterpret_cast<const char*>(t));
    for (size_t i = 0; i < n; ++i) {
        if (t[i] == '-' && i > 0 && i + 1 < n) {
            unsigned from = t[i - 1], to = t[i + 1];
            for (unsigned c = from; c <= to; ++c) set.set(c);
            set.set(from);
            set.set(to);
            ++i;
            continue;
        }
        set.set(t[i]);
    }
    return set;
}

KeySet KeySetOf(const char* text) {
    KeySet set;
    for (const auto* t = reinterpret_cast<const unsigned char*>(text ? text : ""); *t; ++t)
        set.set(*t);
    return set;
}
