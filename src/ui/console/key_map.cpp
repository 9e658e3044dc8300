// The key code table: PC keyboard bytes and extended scan codes to the
// one-byte key codes the screens work with.
#include <array>

#include "ui/console/keys.h"

namespace key {
namespace {

struct ExtendedKey {
    uint8_t scan, code;
};
// clang-format off
constexpr ExtendedKey kExtended[] = {
    {0x3B, F1}, {0x3C, F2}, {0x3D, F3}, {0x3E, F4}, {0x3F, F5},
    {0x40, F6}, {0x41, F7}, {0x42, F8}, {0x43, F9}, {0x44, F10},
    {scan::Up, Up}, {scan::Down, Down}, {scan::Left, Left}, {scan::Right, Right},
    {scan::Home, Home}, {scan::End, End}, {scan::PgUp, PgUp}, {scan::PgDn, PgDn},
    {scan::Del, Del}, {scan::Insert, InsertToggle}, {0x08, Del127},
};
// clang-format on

struct ControlKey {
    uint8_t byte, code;
};
// clang-format off
constexpr ControlKey kControl[] = {
    {1, Home}, {4, CtrlD}, {6, CtrlF}, {7, End}, {8, Backspace},
    {18, CtrlR}, {21, CtrlU}, {22, Del}, {25, CtrlY},
};
// clang-format on

constexpr std::array<uint8_t, 256> BuildExtendedTable() {
    std::array<uint8_t, 256> t{};
    for (auto e : kExtended) t[e.scan] = e.code;
    return t;
}
constexpr auto kExtendedTable = BuildExtendedTable();

struct PrefixedKey {
    char after;
    uint8_t scan;
};
constexpr PrefixedKey kPrefixed[] = {
    {'I', scan::Insert}, {'U', scan::PgUp}, {'N', scan::PgDn}, {'H', scan::Home}, {'E', scan::End},
};

}  // namespace

uint8_t PrefixedScanCode(uint8_t byte) {
    if (byte >= '1' && byte <= '9') return uint8_t(scan::F1 + (byte - '1'));
    if (byte == '0') return scan::F10;
    const uint8_t upper = byte >= 'a' && byte <= 'z' ? uint8_t(byte - 'a' + 'A') : byte;
    for (auto p : kPrefixed)
        if (uint8_t(p.after) == upper) return p.scan;
    return 0;
}

uint8_t MapPrefixedKey(uint8_t byte) {
    if (byte == KeyPrefix) return KeyPrefix;
    const uint8_t scanCode = PrefixedScanCode(byte);
    return scanCode == 0 ? 0 : MapKey(true, scanCode);
}

uint8_t MapKey(bool extended, uint8_t byte) {
    if (extended) return kExtendedTable[byte];
    for (auto c : kControl)
        if (c.byte == byte) return c.code;
    return byte;
}

}  // namespace key
