// The main menu's rows: each label the bar and its pull-downs show sits at
// the code the shell dispatches, beside the action of that row.
#include <gtest/gtest.h>

#include <string>

#include "app/menu_actions.h"

namespace {

// The label at a choice code, walking the table as the menu engine reads it:
// groups of a title and its entries, each ending in a null, an empty group
// ending the table. "" when no label has the code.
std::string LabelAt(int code) {
    const char* const* table = MainMenuTable();
    for (int title = 1; *table; ++title) {
        for (int entry = 0; *table; ++entry, ++table)
            if (title * 100 + entry == code) return *table;
        ++table;  // the group's null
    }
    return "";
}

TEST(MainMenuRows, EachLabelSitsAtTheCodeOfItsAction) {
    // clang-format off
    struct Case { int code; const char* label; bool acts; ConfigCopy copy; bool dirty, replaces, module; };
    const Case kCases[] = {
        {100, "oNline",                           true,  ConfigCopy::None,          false, false, true},
        {200, "oFfline",                          false, ConfigCopy::None,          false, false, false},
        {201, "Read from disk to memory",         true,  ConfigCopy::BackOnSuccess, false, true,  false},
        {202, "Write from memory to disk",        true,  ConfigCopy::In,            false, false, false},
        {203, "Edit configuration in memory",     true,  ConfigCopy::InAndBack,     true,  false, false},
        {206, "Fetch memory from KOVA",           true,  ConfigCopy::InAndBack,     true,  true,  true},
        {208, "Delete configuration file",        true,  ConfigCopy::None,          false, false, false},
        {209, "Quit offline functions",           false, ConfigCopy::None,          false, false, false},
        {301, "from oNline port",                 true,  ConfigCopy::None,          false, false, true},
        {302, "from oFfline memory",              true,  ConfigCopy::None,          false, false, false},
        {403, "CTS monitor",                      true,  ConfigCopy::None,          false, false, true},
        {404, "Write setup to EEPROM",            true,  ConfigCopy::None,          false, false, false},
        {501, "Sy/Max communications",            true,  ConfigCopy::None,          false, false, false},
        {504, "Load from file",                   true,  ConfigCopy::None,          false, false, false},
        {600, "Quit",                             false, ConfigCopy::None,          false, false, false},
        {505, "",                                 false, ConfigCopy::None,          false, false, false},
        {700, "",                                 false, ConfigCopy::None,          false, false, false},
    };
    // clang-format on
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(LabelAt(c.code), c.label);
        const MenuAction* action = FindMenuAction(c.code);
        ASSERT_EQ(action != nullptr, c.acts);
        if (!action) continue;
        EXPECT_EQ(action->code, c.code);
        EXPECT_EQ(action->copy, c.copy);
        EXPECT_EQ(action->setsDirty, c.dirty);
        EXPECT_EQ(action->replacesMemory, c.replaces);
        EXPECT_EQ(action->needsModule, c.module);
        EXPECT_NE(action->run, nullptr);
    }
}

}  // namespace
