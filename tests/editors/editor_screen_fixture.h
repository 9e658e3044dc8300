// The configuration editors on the in-memory console: default documents to
// edit (named as the program's own), keys written as the keyboard sends them, and F1 bound to a
// snapshot of the screen image so a test can look at the screen mid-edit.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/keys.h"
#include "common/screen_image.h"
#include "config/config_defaults.h"
#include "config/config_documents.h"
#include "config/module_config.h"
#include "config/online_writes.h"
#include "ui/console/keys.h"
#include "ui/console/memory_console.h"
#include "ui/screen.h"
#include "ui/screen_state.h"

struct ScreenSnapshot {
    std::vector<std::string> chars, attrs;  // 1-based rows: chars[1] is row 1
    // Characters of a 1-based row and column range.
    std::string At(int row, int col, int width) const { return chars[row].substr(col - 1, width); }
    char AttrAt(int row, int col) const { return attrs[row][col - 1]; }
};

inline std::vector<ScreenSnapshot>& Snapshots() {
    static std::vector<ScreenSnapshot> shots;
    return shots;
}

inline ScreenSnapshot ImageNow() {
    ScreenSnapshot s;
    s.chars.resize(26);
    s.attrs.resize(26);
    for (int r = 1; r <= 25; ++r) {
        s.chars[r] = ImageText(r);
        for (int c = 0; c < 80; ++c) s.attrs[r] += char('0' + ScreenAttr(r - 1, c));
    }
    return s;
}

inline int TakeSnapshot(int, int) {
    Snapshots().push_back(ImageNow());
    return 0;
}

struct EditorScreen : testing::Test {
    con::MemoryConsole console;
    ScreenState screenState;
    ConfigDocuments documents;
    ModuleConfig& OfflineMemory = documents.OfflineMemory;
    ModuleConfig& WorkingConfig = documents.WorkingConfig;
    int16_t& PrintProgBaud = documents.PrintProgBaud;
    bool& OfflineDirty = documents.OfflineDirty;
    int16_t& ConfigReserved = documents.ConfigReserved;
    int16_t ModuleModel = kModelPlus;  // the model the offline writes name
    int CurrentPort = 0;               // the port the editor shows
    // The offline writes for the model the test has set.
    OnlineWrites& Offline() {
        offline_ = OfflineWrites(ModuleModel);
        return offline_;
    }

    void SetUp() override {
        console.keys.clear();
        console.beeps = 0;
        ScreenInit(console, screenState);
        AddHotKey(key::F1, TakeSnapshot);
        Snapshots().clear();
        FillDefaults(WorkingConfig);
        PrintProgBaud = 3;
        ModuleModel = kModelPlus;
    }
    void TearDown() override { ScreenDone(); }
    void Type(const std::string& bytes) { console.Type(bytes); }
    // The user stops typing here: a key wait with a time limit runs out
    // (one without a limit reads on).
    void Pause() { console.keys.push_back(-1); }
    // Every key typed was read: nothing was left for a later screen.
    void ExpectAllKeysRead() {
        EXPECT_TRUE(console.keys.empty()) << console.keys.size() << " left";
    }

  private:
    OfflineWrites offline_;
};
