// The table of link kinds: every code of the settings finds its own row and
// every name its kind; what is no kind finds nothing.
#include "setup/link_kinds.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(LinkKinds, EachCodeAndNameLeadsToItsOwnRow) {
    std::set<std::string> names;
    for (const LinkKindRow& row : LinkKinds()) {
        EXPECT_EQ(LinkKindOf(row.setupCode), &row) << row.toolName;
        EXPECT_EQ(LinkKindNamed(row.toolName), &row) << row.toolName;
        EXPECT_TRUE(names.insert(row.toolName).second) << "named twice: " << row.toolName;
        ASSERT_NE(row.open, nullptr) << row.toolName;
    }
    EXPECT_EQ(names, (std::set<std::string>{"symax", "netnet", "gateway", "rtu", "ascii", "tcp"}));
    for (int code : {int(LinkTypeNone), -1, 7, 0x7FFF})
        EXPECT_EQ(LinkKindOf(code), nullptr) << code;
    for (const char* name : {"", "SYMAX", "modbus", "tcp "})
        EXPECT_EQ(LinkKindNamed(name), nullptr);
}

// What the connect step, the terminal and the tools ask of a kind.
TEST(LinkKinds, OnlyModbusTcpGoesToAHostAndOnlyModbusTakesOneDrop) {
    for (const LinkKindRow& row : LinkKinds()) {
        SCOPED_TRACE(row.toolName);
        EXPECT_EQ(row.serial, row.setupCode != LinkTypeModbusTcp);
        EXPECT_EQ(row.singleDrop, row.setupCode == LinkTypeModbusRtu ||
                                      row.setupCode == LinkTypeModbusAscii ||
                                      row.setupCode == LinkTypeModbusTcp);
    }
}

}  // namespace
