// Framed windows restore exactly what they covered.
#include "toolkit_fixture.h"
#include "ui/text_flags.h"

namespace {

using WindowTest = ToolkitTest;

TEST_F(WindowTest, DrawsADoubleFrameWithACentredTitle) {
    WindowHandle w = OpenWindow(2, 3, 5, 12, "AB");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(ImageRow(1, 12).substr(2),
              "\xC9\xCD\xCD\xCD"
              "AB"
              "\xCD\xCD\xCD\xBB");
    EXPECT_EQ(ImageRow(2, 12).substr(2), "\xBA        \xBA");
    EXPECT_EQ(ImageRow(4, 12).substr(2), "\xC8\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xBC");
    EXPECT_EQ(ScreenAttr(1, 6), tf::Reverse);  // the title
    EXPECT_EQ(ScreenAttr(1, 5), 0);
    CloseWindow(w);
    EXPECT_EQ(w, nullptr);
}

TEST_F(WindowTest, ClosingPutsBackCharactersAndColoursIncludingAnOlderWindow) {
    for (int r = 1; r <= 25; ++r)
        PutTextF("%02d background text here", r, 1, 30, '.', uint32_t(r % 8), r);
    std::vector<std::string> rows;
    std::vector<uint8_t> colours;
    for (int r = 0; r < 25; ++r) {
        rows.push_back(console.Row(r));
        for (int c = 0; c < 80; ++c) colours.push_back(console.ColourAt(r, c));
    }
    WindowHandle older = OpenWindow(3, 5, 12, 40, "OLDER");
    PutText("inside the older one", 5, 7, 0, ' ', tf::Highlight);
    std::string olderRow = console.Row(4);
    WindowHandle newer = OpenWindow(4, 20, 20, 60, "NEWER");
    PutText("newer text", 8, 22, 0, ' ', tf::Alert);
    CloseWindow(newer);
    EXPECT_EQ(console.Row(4), olderRow);
    CloseWindow(older);
    for (int r = 0; r < 25; ++r) {
        EXPECT_EQ(console.Row(r), rows[r]) << r;
        for (int c = 0; c < 80; ++c)
            ASSERT_EQ(console.ColourAt(r, c), colours[r * 80 + c]) << r << "," << c;
    }
}

TEST_F(WindowTest, ClosingANullHandleDoesNothing) {
    WindowHandle none = nullptr;
    CloseWindow(none);
    EXPECT_TRUE(console.calls.empty());
}

}  // namespace
