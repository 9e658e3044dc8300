// The table of link kinds: every code of the settings finds its own row and
// every name its kind; what is no kind finds nothing.
#include "setup/link_kinds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

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

// The form's type field steps through the codes of the settings record in
// their order, round at either end; a damaged code steps to an end.
TEST(LinkKinds, TheTypeFieldStepsThroughTheCodesInOrder) {
    std::vector<int> codes;
    for (const LinkKindRow& row : LinkKinds()) codes.push_back(row.setupCode);
    std::ranges::sort(codes);
    ASSERT_FALSE(codes.empty());
    for (size_t i = 0; i < codes.size(); ++i) {
        const int next = codes[(i + 1) % codes.size()];
        EXPECT_EQ(SteppedLinkKind(codes[i], 1).setupCode, next) << codes[i];
        EXPECT_EQ(SteppedLinkKind(next, -1).setupCode, codes[i]) << next;
    }
    for (int code : {int(LinkTypeNone), -1, 7, 0x7FFF}) {
        EXPECT_EQ(SteppedLinkKind(code, 1).setupCode, codes.front()) << code;
        EXPECT_EQ(SteppedLinkKind(code, -1).setupCode, codes.back()) << code;
    }
}

// What the form, the viewer and the transfers take from a row holds together:
// the form finds the port or the host first (its port-path key relies on
// it), a serial line has its data bits, and only this computer's own line
// follows the Print/Prog rate.
TEST(LinkKinds, EachRowsSettingsAndRulesFitItsLine) {
    for (const LinkKindRow& row : LinkKinds()) {
        SCOPED_TRACE(row.toolName);
        ASSERT_FALSE(row.settings.empty());
        EXPECT_EQ(row.settings.front(), row.serial ? LinkSetting::Port : LinkSetting::Host);
        EXPECT_EQ(row.followsPrintProgBaud, row.serial);
        const auto dataBits = std::ranges::count(row.settings, LinkSetting::DataBits) +
                              std::ranges::count(row.settings, LinkSetting::FixedDataBits);
        EXPECT_EQ(dataBits, row.serial ? 1 : 0);
        EXPECT_EQ(row.statusRegisters, !(row.serial && row.singleDrop))
            << "the Modbus serial framings read no status registers";
        EXPECT_EQ(row.requests.modbusDrop, row.singleDrop) << "a Modbus drop is 1-247";
        EXPECT_EQ(row.dropAsRoute, row.setupCode != LinkTypeGateway);
    }
}

// The tools' --type lists and usage lines are the table's names.
TEST(LinkKinds, TheToolsListTheKindsByTheirNames) {
    EXPECT_EQ(LinkKindNames(), "symax|netnet|rtu|ascii|gateway|tcp");
    EXPECT_EQ(LinkKindNames(KindsNamed::Serial), "symax|netnet|rtu|ascii|gateway");
    EXPECT_EQ(LinkKindNames(KindsNamed::NotSerial), "tcp");
    EXPECT_EQ(std::string(LinkKindNameList()), LinkKindNames());
}

}  // namespace
