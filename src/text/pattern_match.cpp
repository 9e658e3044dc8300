// The module's pattern language: literal characters (compared first, so every
// special also matches itself), '=' any, '#' digit, '?' letter, '(..)' numeric
// ranges, '[..]' character classes and '*' any run; anchored at both ends.
#include "text/pattern_match.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kNoLimit = UINT32_MAX;

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Reads a run of decimal digits (none gives 0). Saturates instead of wrapping,
// so a very long number never lands inside a small range by overflow.
uint32_t ReadNumber(const unsigned char*& s) {
    uint64_t n = 0;
    while (IsDigit(*s)) {
        n = n * 10 + (*s++ - '0');
        if (n > kNoLimit) n = kNoLimit;
    }
    return uint32_t(n);
}

class Matcher {
  public:
    Matcher(const char* pattern, const char* text)
        : pattern_(reinterpret_cast<const unsigned char*>(pattern)),
          text_(reinterpret_cast<const unsigned char*>(text)),
          textLength_(std::strlen(text)) {}

    bool Match(const unsigned char* p, const unsigned char* t);

  private:
    bool MatchRange(const unsigned char*& p, const unsigned char*& t);
    bool MatchClass(const unsigned char*& p, const unsigned char*& t);
    bool MatchStar(const unsigned char* p, const unsigned char* t);

    const unsigned char* pattern_;
    const unsigned char* text_;
    size_t textLength_;
    // Pattern/text positions already known to fail after a '*': several stars
    // would otherwise retry the same tails exponentially often.
    std::vector<bool> failed_;
};

// '(' list ')': the whole digit run of the text against items L, L-H or L-.
bool Matcher::MatchRange(const unsigned char*& p, const unsigned char*& t) {
    if (!IsDigit(*t)) return false;
    uint32_t n = ReadNumber(t);
    ++p;  // past '('
    for (;;) {
        uint32_t low = ReadNumber(p);
        uint32_t high = low;
        if (*p == '-') {
            ++p;
            high = IsDigit(*p) ? ReadNumber(p) : kNoLimit;
        }
        if (low <= n && n <= high) break;
        if (*p != ',') return false;
        ++p;
    }
    while (*p && *p != ')') ++p;
    if (*p != ')') return false;
    ++p;
    return true;
}

// '[' items ']': single characters or ranges c1-c2; the first item may be ']'.
bool Matcher::MatchClass(const unsigned char*& p, const unsigned char*& t) {
    unsigned char c = *t;
    if (c == 0) return false;
    ++t;
    ++p;  // past '['
    bool first = true;
    for (;;) {
        if (*p == 0) return false;
        if (*p == ']' && !first) return false;
        first = false;
        unsigned char low = *p, high = *p;
        if (p[1] == '-' && p[2] != ']' && p[2] != 0) {
            high = p[2];
            p += 3;
        } else {
            p += 1;
        }
        if (low <= c && c <= high) {
            while (*p && *p != ']') ++p;
            if (*p != ']') return false;
            break;
        }
    }
    ++p;  // past ']'
    return true;
}

bool Matcher::MatchStar(const unsigned char* p, const unsigned char* t) {
    if (failed_.empty())
        failed_.assign((std::strlen((const char*)pattern_) + 1) * (textLength_ + 1), false);
    size_t row = size_t(p - pattern_) * (textLength_ + 1);
    for (;; ++t) {
        size_t at = row + size_t(t - text_);
        if (!failed_[at]) {
            if (Match(p, t)) return true;
            failed_[at] = true;
        }
        if (*t == 0) return false;
    }
}

bool Matcher::Match(const unsigned char* p, const unsigned char* t) {
    for (;;) {
        unsigned char pc = *p, tc = *t;
        if (pc == 0) return tc == 0;
        if (pc == tc) {
            ++p, ++t;
            continue;
        }
        switch (pc) {
            case '=':
                if (tc == 0) return false;
                ++p, ++t;
                break;
            case '#':
                if (!IsDigit(tc)) return false;
                ++p, ++t;
                break;
            case '?':
                if (!IsLetter(tc)) return false;
                ++p, ++t;
                break;
            case '(':
                if (!MatchRange(p, t)) return false;
                break;
            case '[':
                if (!MatchClass(p, t)) return false;
                break;
            case '*':
                return MatchStar(p + 1, t);
            default:
                return false;
        }
    }
}

}  // namespace

bool PatternMatch(const char* pattern, const char* text) {
    Matcher m(pattern, text);
    return m.Match(reinterpret_cast<const unsigned char*>(pattern),
                   reinterpret_cast<const unsigned char*>(text));
}
