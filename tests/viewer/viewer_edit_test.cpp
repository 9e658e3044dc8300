// What typed text means in the register viewer's value columns.
#include "viewer/viewer_edit.h"

#include <gtest/gtest.h>

#include "ui/console/keys.h"

namespace {

TEST(ViewerEdit, TypedTextBecomesTheValueToWrite) {
    struct Case {
        int column;
        const char* text;
        bool accepted;
        uint16_t value;
    } kCases[] = {
        {ColumnHex, "1A2F", true, 0x1A2F},
        {ColumnHex, "12345", false, 0},  // past 16 bits: refused, never cut to 2345
        {ColumnHex, "00FFFF", true, 0xFFFF},
        {ColumnHex, "", false, 0},
        {ColumnUnsigned, "65535", true, 0xFFFF},
        {ColumnUnsigned, "65536", false, 0},
        {ColumnUnsigned, "0", true, 0},
        {ColumnSigned, "-1", true, 0xFFFF},
        {ColumnSigned, "-32768", true, 0x8000},
        {ColumnSigned, "32767", true, 0x7FFF},
        {ColumnSigned, "40000", false, 0},
        {ColumnSigned, "-", false, 0},
        {ColumnSigned, "1-2", false, 0},
        {ColumnBinary, "1000 0000 0000 0000", true, 0x8000},
        {ColumnBinary, "0000 0000 0000 0001", true, 0x0001},
        {ColumnBinary, "1010 0101 1111 0000", true, 0xA5F0},
        // A bit typed over a separator is no seventeenth bit.
        {ColumnBinary, "111101111 1111 1111", true, 0xFFFF},
        {ColumnBinary, "1", true, 0x8000},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.text) + " in column " + std::to_string(c.column));
        uint16_t value = 0;
        EXPECT_EQ(c.accepted, ParseViewerValue(c.column, c.text, value));
        if (c.accepted) {
            EXPECT_EQ(c.value, value);
        }
    }
}

TEST(ViewerEdit, DigitsLettersAndMinusStartAnEdit) {
    for (int k : {'0', '9', 'a', 'F', 'z', '-'}) EXPECT_TRUE(StartsViewerEdit(k)) << k;
    for (int k :
         {int(key::Enter), int(key::Esc), int(' '), int('+'), int(key::F2), int(key::Down), 0xC1})
        EXPECT_FALSE(StartsViewerEdit(k)) << k;
}

}  // namespace
