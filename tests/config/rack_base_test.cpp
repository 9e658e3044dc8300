// The "@" register references in poll queries: which strings hold one, how
// far the scan reaches, and how a reference moves with the rack base.
#include "config/rack_base.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Query(const char* text) {
    std::string q(65, '\0');
    std::memcpy(q.data(), text, std::strlen(text));
    return q;
}

TEST(QueryReferences, FoundAndMoved) {
    struct Case {
        const char* query;
        int distance;
        int found, unfit;
        const char* after;
    } kCases[] = {
        {"@001004D", 100, 1, 0, "@011004D"},
        {"X@001004", 100, 1, 0, "X@011004"},  // the string's end closes it
        {"@00104D", 100, 0, 0, "@00104D"},    // five digits: no reference
        {"@001004X", 100, 0, 0, "@001004X"},  // X is not a closing letter
        {"@0010045", 100, 0, 0, "@0010045"},
        {"@001004U@002099F", -1, 2, 0, "@000904U@001999F"},
        {"@001004D", 0, 1, 0, "@001004D"},    // distance 0 only counts
        {"@999904D", 100, 1, 1, "@999904D"},  // would leave 0-9999: kept
        {"@000504R", -6, 1, 1, "@000504R"},
        {"@000504R", -5, 1, 0, "@000004R"},
        {"@", 100, 0, 0, "@"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.query);
        std::string q = Query(c.query);
        int unfit = 0;
        EXPECT_EQ(AdjustQueryReferences(q.data(), c.distance, &unfit), c.found);
        EXPECT_EQ(unfit, c.unfit);
        EXPECT_EQ(std::string(q.c_str()), c.after);
    }
}

TEST(QueryReferences, ScanCoversPositions0To55WhateverTheStringEnd) {
    std::string q(65, '\0');
    std::memcpy(&q[55], "@001004D", 8);  // after the NUL at 0, ends at byte 62
    EXPECT_EQ(AdjustQueryReferences(q.data(), 1, nullptr), 1);
    EXPECT_EQ(q.substr(55, 8), "@001104D");
    std::string late(65, '\0');
    std::memcpy(&late[56], "@001004D", 8);
    EXPECT_EQ(AdjustQueryReferences(late.data(), 1, nullptr), 0);
}

}  // namespace
