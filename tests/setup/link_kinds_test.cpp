// The two numberings of link kinds map onto each other as the link
// settings and the link record define them, both ways.
#include "setup/link_kinds.h"

#include <gtest/gtest.h>

#include "setup/link_setup.h"

namespace {

TEST(LinkKinds, ConnectionTypesAndLinkKindsMapBothWays) {
    struct Case {
        int16_t type;
        uint32_t kind;
        bool netToNet;
    } const kCases[] = {
        {LinkTypeSyMax, LinkSyMax, false},
        {LinkTypeNetToNet, LinkSyMax, true},
        {LinkTypeGateway, LinkGateway, false},
        {LinkTypeModbusRtu, LinkModbusRtu, false},
        {LinkTypeModbusAscii, LinkModbusAscii, false},
        {LinkTypeModbusTcp, LinkModbusTcp, false},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(LinkKindOfType(c.type), c.kind);
        EXPECT_EQ(LinkTypeOfKind(c.kind, c.netToNet), c.type);
    }
    for (int type : {int(LinkTypeNone), 7, -1}) EXPECT_EQ(LinkKindOfType(type), 0u) << type;
    for (uint32_t kind : {0u, 3u, 4u, 7u, 9u}) EXPECT_EQ(LinkTypeOfKind(kind, false), LinkTypeNone);
    // Net-to-Net is a property of Sy/Max links only.
    EXPECT_EQ(LinkTypeOfKind(LinkModbusRtu, true), LinkTypeModbusRtu);
}

}  // namespace
