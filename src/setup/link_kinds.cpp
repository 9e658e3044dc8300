// One row per connection type that opens a link.
#include "setup/link_kinds.h"

#include "setup/link_setup.h"

namespace {

struct TypeKind {
    int16_t type;
    uint32_t kind;
    bool netToNet;
};

constexpr TypeKind kTypeKinds[] = {
    {LinkTypeSyMax, LinkSyMax, false},
    {LinkTypeNetToNet, LinkSyMax, true},
    {LinkTypeGateway, LinkGateway, false},
    {LinkTypeModbusRtu, LinkModbusRtu, false},
    {LinkTypeModbusAscii, LinkModbusAscii, false},
    {LinkTypeModbusTcp, LinkModbusTcp, false},
};

}  // namespace

uint32_t LinkKindOfType(int connectionType) {
    for (const TypeKind& row : kTypeKinds)
        if (row.type == connectionType) return row.kind;
    return 0;
}

int16_t LinkTypeOfKind(uint32_t kind, bool netToNet) {
    for (const TypeKind& row : kTypeKinds)
        if (row.kind == kind && row.netToNet == (netToNet && kind == LinkSyMax)) return row.type;
    return LinkTypeNone;
}
