// "Edit configuration in memory" and "Print configuration in memory" in the
// whole program: the key map as a user types it, the range messages, the
// rack base move, the sub-editors, and the print-out of what was edited.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "common/file_contents.h"
#include "common/wait_until.h"
#include "tmux_session.h"

namespace {

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The print-out once it is all there: every port's page ends with a form
// feed, seven in all. The menu stays drawn while it is written, so the
// screen cannot tell when it is done.
std::string CompleteListing(const std::string& path) {
    std::string listing;
    WaitUntil([&] {
        listing = ReadFile(path);
        return std::count(listing.begin(), listing.end(), '\f') >= 7;
    });
    return listing;
}

// The editor opened from the command line: oFfline, Edit.
struct EditorSession : testing::Test {
    TmuxSession t;
    void SetUp() override {
        t.Start({"FE"});
        ASSERT_TRUE(t.WaitFor("Type 1 to select a port."));
    }
    // Types keys and waits until a row shows the text.
    void Expect(const std::string& keys, int row, const std::string& shown) {
        t.Type(keys);
        EXPECT_TRUE(t.WaitForRow(row, shown))
            << "after " << keys << " row " << row << ": " << t.Row(row);
    }
    void ExpectMessage(const std::string& keys, const std::string& message) {
        t.Type(keys);
        ASSERT_TRUE(t.WaitForRow(23, message)) << t.ScreenText();
        t.SendKeys("F10");
    }
};

TEST_F(EditorSession, ListValuesStepThroughTheirLists) {
    Expect("2", 4, "Baud rate 14400");
    // Fifteen more presses come back to the start; 3 marks that all were read.
    Expect(std::string(15, '2') + "3", 5, "Data bits 7");
    EXPECT_TRUE(Contains(t.Row(4), "Baud rate 9600 "));
    Expect("44", 6, "Parity EVEN");
    Expect("4", 6, "Parity NONE");
    Expect("5", 3, "Stop bits 1");
    Expect("6", 4, "Capitalize YES");
    Expect("e", 10, "Editing FLOAT");  // a lower-case key selects its field
    Expect("f", 10, "Continue YES");
    Expect("X", 24, "Print/Prog baud rate 300");
    Expect("1", 3, "Port 2");
    EXPECT_TRUE(Contains(t.Row(4), "Baud rate 9600 "));  // port 2 kept its own value
    Expect("111", 3, "Port 1");
    EXPECT_TRUE(Contains(t.Row(10), "Editing FLOAT"));
}

TEST_F(EditorSession, NumbersAreClampedWithTheirMessages) {
    ExpectMessage("090\r", "Longest message is 80 bytes.");
    EXPECT_TRUE(t.WaitForRow(4, "Terminate Count 80"));
    ExpectMessage("c0\r", "Register (0) is less than Rack Base (1) + 1. Changing.");
    EXPECT_TRUE(t.WaitForRow(10, "Start Register 2 "));
    ExpectMessage("C3000\r", "Register (3000) is greater than Rack Base (1) + 2047. Changing.");
    EXPECT_TRUE(t.WaitForRow(10, "Start Register 2048"));
    // 99 is cut to 64, and then to the one register left in the rack.
    ExpectMessage("D99\r", "Last register (2111) is greater than Rack Base (1) + 2047. Changing.");
    EXPECT_TRUE(t.WaitForRow(10, "Register Count 1 "));
    Expect("P99\r", 18, "Register Count 64");
    Expect("-1234\r", 5, "Terminate Timeout 1234");
    Expect("Z77\r", 25, "Trigger/Inhibit register 77");
    // Esc in a number field keeps the old value.
    t.Type("J5");
    ASSERT_TRUE(t.WaitForRow(14, "Register Count 5"));
    t.SendKeys("Escape");
    EXPECT_TRUE(t.WaitForRow(14, "Register Count 0 "));
}

TEST_F(EditorSession, RackStartAddressIsClampedTo1To8191) {
    // 0 becomes 1, the address it already had: no window.
    Expect(
        "Y0\r"
        "3",
        5, "Data bits 7");
    EXPECT_TRUE(Contains(t.Row(24), "Rack start address    1"));
    EXPECT_FALSE(Contains(t.ScreenText(), "RACK BASE CHANGED"));
    t.Type("Y9000\r");
    ASSERT_TRUE(t.WaitFor("Adjust Start Register in all paths?"));
    EXPECT_TRUE(Contains(t.ScreenText(), "Rack base now 8191"));
    Expect("n", 24, "Rack start address 8191");
    EXPECT_TRUE(Contains(t.Row(10), "Start Register 2 "));  // not moved
}

TEST_F(EditorSession, RackBaseMoveTakesPathsAndQueryReferences) {
    // A query with a register reference, typed in the poll editor.
    t.Type("9");
    ASSERT_TRUE(t.WaitFor("Editing Periodic Polling parameters"));
    t.SendKeys("Down");
    t.Type("@001004D\r");
    ASSERT_TRUE(t.WaitFor("Type 1 to select a port."));
    t.Type("Y101\r");
    ASSERT_TRUE(t.WaitFor("Adjust Start Register in all paths?"));
    EXPECT_TRUE(Contains(t.ScreenText(), "Rack base was 1"));
    t.Type("y");
    ASSERT_TRUE(t.WaitFor("Adjust register output substitution strings?"));
    t.Type("y");
    EXPECT_TRUE(t.WaitForRow(24, "Rack start address  101"));
    EXPECT_TRUE(t.WaitForRow(10, "Start Register 102"));
    EXPECT_TRUE(Contains(t.Row(22), "Start Register 105"));
    t.Type("9");
    ASSERT_TRUE(t.WaitFor("Editing Periodic Polling parameters"));
    EXPECT_TRUE(Contains(t.Row(8), "Query  1 ∙@011004D∙")) << t.Row(8);
}

TEST_F(EditorSession, EscInAPatternRestoresItAfterHexEdits) {
    t.Type("a");
    ASSERT_TRUE(t.WaitFor("Press F9 to edit in hexadecimal"));
    t.Type("XY");
    t.SendKeys("Home");
    t.SendKeys("F9");
    ASSERT_TRUE(t.WaitFor("HEX EDITOR"));
    t.Type("41");
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitForRow(8, "Pattern ∙AY∙"));
    t.SendKeys("Escape");
    EXPECT_TRUE(t.WaitForRow(8, "Pattern ∙*∙∙∙"));
    EXPECT_FALSE(Contains(t.ScreenText(), "Press F9"));
}

// A NUL (Ctrl-Space) cannot stand in a pattern, which it would end, and the
// field takes printable ASCII (other bytes go in with F9): neither is a key
// there, and neither turns the keys after it into function keys.
TEST_F(EditorSession, ANulAndAlphaTypedIntoAPattern) {
    t.Type("a");
    ASSERT_TRUE(t.WaitFor("Press F9 to edit in hexadecimal"));
    t.Type("X");
    t.SendKeys("C-Space");
    t.Type("\u03B1KY");
    t.SendKeys("Enter");
    EXPECT_TRUE(t.WaitForRow(8, "Pattern ∙XKY∙")) << t.ScreenText();
}

TEST_F(EditorSession, HexEditorPutsAControlCharacterInAMask) {
    t.Type("b");
    ASSERT_TRUE(t.WaitFor("Press F9 to edit in hexadecimal"));
    t.SendKeys("F9");
    ASSERT_TRUE(t.WaitFor("Arrows to move, ENTER to exit."));
    EXPECT_TRUE(Contains(t.Row(6), "5F 5F 5F 5F 5F 5F 5F 5F  ________"));
    t.Type("0D");
    ASSERT_TRUE(t.WaitForRow(6, "0D 5F"));
    t.SendKeys("Right");  // two digits moved on to byte 1; now byte 2
    t.Type("00");
    ASSERT_TRUE(t.WaitForRow(7, "∙∙ ∙∙"));  // the string now ends at byte 2
    t.SendKeys("Enter");
    t.SendKeys("Enter");
    EXPECT_TRUE(t.WaitForRow(9, "Mask    ∙♪_∙∙∙"));
}

TEST_F(EditorSession, CharacterSetEditorChangesTheAcceptSet) {
    t.Type("7");
    ASSERT_TRUE(t.WaitFor("Editing Accept character set"));
    EXPECT_TRUE(t.WaitForRow(10, "NUL"));
    EXPECT_TRUE(Contains(t.Row(13), "EVEN"));
    t.Type("+");  // 00 joins, the cursor moves to 01
    ASSERT_TRUE(t.WaitForRow(10, "SOH"));
    EXPECT_TRUE(Contains(t.Row(13), "ODD"));
    t.SendKeys("Down");
    t.Type(" ");  // 11 joins
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitFor("Type 1 to select a port."));
    // Back in the menu, the print-out lists the edited set.
    t.SendKeys("Escape");
    ASSERT_TRUE(t.WaitFor("Use F10"));
    t.Type("FP");
    ASSERT_TRUE(t.WaitFor("PRINT OFFLINE"));
    EXPECT_TRUE(Contains(t.Row(12), "SYS$PRINT"));
    t.Type("listing.txt\r");
    const std::string listing = CompleteListing(t.Dir() + "/listing.txt");
    EXPECT_TRUE(Contains(listing, "Accept     00  ++  ++ ")) << listing.substr(0, 400);
    EXPECT_TRUE(Contains(listing, "\n           ++  11  ++ "));
    EXPECT_TRUE(Contains(listing, "Terminate count 0  Terminate timeout 0\n"));  // model unknown
}

TEST_F(EditorSession, EditsReachTheOfflineMemoryAndMarkItEdited) {
    Expect("2", 4, "Baud rate 14400");
    t.SendKeys("Escape");
    ASSERT_TRUE(t.WaitFor("Use F10"));
    // Opened again, the editor shows what the offline memory kept.
    t.Type("FE");
    ASSERT_TRUE(t.WaitForRow(4, "Baud rate 14400"));
    t.SendKeys("Escape");
    ASSERT_TRUE(t.WaitFor("Use F10"));
    t.Type("Q");
    ASSERT_TRUE(t.WaitFor("Edited or Fetched but not Written. Quit anyway?"));
    t.Type("y");
    ASSERT_TRUE(t.WaitForExit());
    EXPECT_EQ(t.ExitStatus(), 0);
}

TEST(PrintSession, ListingOfTheDefaultConfiguration) {
    TmuxSession t;
    t.Start({"FP"});
    ASSERT_TRUE(t.WaitFor("PRINT OFFLINE"));
    t.SendKeys("Enter");  // SYS$PRINT
    const std::string listing = CompleteListing(t.Dir() + "/SYS$PRINT");
    EXPECT_EQ(listing.rfind("                          KOVA Configuration Printout\n", 0), 0u);
    EXPECT_TRUE(Contains(listing, "Print/Prog baud rate = 9600      Rack base address = 1\n"));
    EXPECT_TRUE(
        Contains(listing, "      Start Register   17  Register Count  0  Editing Mode ASCII  \n"));
    size_t pages = 0;
    for (char c : listing) pages += c == '\f';
    EXPECT_EQ(pages, 7u);  // ports 2-4 break before their output part, every port after it
    EXPECT_EQ(listing.back(), '\f');
}

}  // namespace
