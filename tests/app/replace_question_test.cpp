// Reading a file or fetching from the module replaces the offline memory:
// with unsaved work there the user is asked first, before any file, link or
// module is touched, and No leaves everything as it was.
#include <gtest/gtest.h>

#include <cstring>

#include "app/shell.h"
#include "editors/editor_screen_fixture.h"

namespace {

constexpr char kQuestion[] = "Edited or Fetched but not Written. Replace anyway?";
constexpr int kRead = 201, kFetch = 206;

struct ReplaceQuestion : EditorScreen {
    ShellState state;
    void SetUp() override {
        EditorScreen::SetUp();
        FillDefaults(state.documents.OfflineMemory);
        state.documents.OfflineMemory.Ports[0].BaudRate = 11;  // the unsaved edit
        state.documents.OfflineDirty = true;
    }
    bool OnScreen(const std::string& text) const {
        for (const auto& shot : Snapshots())
            for (const auto& row : shot.chars)
                if (row.find(text) != std::string::npos) return true;
        return false;
    }
};

// F1 records the screen: at the question, or in the dialog after it.
TEST_F(ReplaceQuestion, AskedOverUnsavedWorkOnlyAndNoTouchesNothing) {
    struct Case {
        int code;
        bool dirty;
        std::string keys;
        const char* shown;  // what F1 saw
        int baudAfter;      // port 1's in the offline memory
    } kCases[] = {
        {kRead, true, keys::F1 + "n", kQuestion, 11},
        {kFetch, true, keys::F1 + "n", kQuestion, 11},
        {kRead, true, "y" + keys::F1 + keys::Esc, "LOAD OFFLINE FROM DISK", 11},
        {kRead, false, keys::F1 + keys::Esc, "LOAD OFFLINE FROM DISK", 11},
    };
    for (const auto& k : kCases) {
        Snapshots().clear();
        state.documents.OfflineDirty = k.dirty;
        const ModuleConfig before = state.documents.OfflineMemory;
        Type(k.keys);
        EXPECT_EQ(k.code, DispatchChoice(state, k.code));  // the menu reopens on the entry
        ExpectAllKeysRead();
        ASSERT_EQ(1u, Snapshots().size());
        EXPECT_TRUE(OnScreen(k.shown)) << k.keys;
        // The question only where it is asked; No opens no dialog, no link
        // form, asks no module.
        if (k.shown != kQuestion) {
            EXPECT_FALSE(OnScreen(kQuestion)) << k.keys;
        }
        EXPECT_EQ(nullptr, state.link);
        EXPECT_EQ(kModelUnknown, state.module.model);
        EXPECT_EQ(0, std::memcmp(&before, &state.documents.OfflineMemory, sizeof before));
        EXPECT_EQ(k.dirty, state.documents.OfflineDirty);
    }
}

}  // namespace
