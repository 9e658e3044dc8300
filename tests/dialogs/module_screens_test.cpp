// The identification check and the EEPROM command on screen, against the
// simulated module over Modbus TCP whose name block each case rewrites.
#include <gtest/gtest.h>

#include <cstring>

#include "dialogs/eeprom_window.h"
#include "dialogs/identify_module.h"
#include "editors/editor_screen_fixture.h"
#include "module_sim.h"
#include "transfer/register_map.h"
#include "ui/boxes.h"
#include "ui/screen_hooks.h"

namespace {

void TrapErrors(bool trapped) {
    SetScreenHooks({.trapErrors = [trapped] { return trapped ? 0 : 1; }});
}

struct ModuleScreens : EditorScreen {
    std::unique_ptr<ModuleSim> sim;
    void StartSim(const std::vector<std::string>& options = {}) {
        sim = std::make_unique<ModuleSim>(SimWire::ModbusTcp, options);
        ASSERT_NE(nullptr, sim->link());
    }
    void TearDown() override {
        TrapErrors(true);
        EditorScreen::TearDown();
    }
    // The name block: port information, 20 characters, the marker.
    void WriteNameBlock(uint16_t portInformation, const char* name, uint16_t marker) {
        uint16_t block[kIdentBlockCount] = {};
        block[0] = portInformation;
        char padded[kDeviceNameLength + 1];
        std::snprintf(padded, sizeof padded, "%-20s", name);
        for (int i = 0; i < kDeviceNameLength / 2; ++i)
            block[1 + i] = uint16_t(uint8_t(padded[2 * i]) << 8 | uint8_t(padded[2 * i + 1]));
        block[kIdentBlockCount - 1] = marker;
        ASSERT_TRUE(RegisterWrite(sim->link(), kPortInformationRegister, kIdentBlockCount, block));
    }
    static std::string Centred(const std::string& text) {
        const int pad = (50 - int(text.size())) / 2;
        return std::string(size_t(pad), ' ') + text + std::string(50 - pad - text.size(), ' ');
    }
};

TEST_F(ModuleScreens, IdentificationShowsTheNameOrStops) {
    StartSim();
    struct Case {
        uint16_t info;
        const char* name;
        uint16_t marker;
        const char* expected;
        std::string keys;  // for the error window, if one comes
        int result;
        const char* row2;   // null: row 2 as it was
        const char* error;  // null: no error window
    } const kCases[] = {
        {0x8002, "KOVA", 0x9990, "KOVA", "", 1, "KOVA Port 2", nullptr},
        {0x0002, "KOVA", 0x9990, "KOVA", "", 1, "KOVA", nullptr},
        {0x8003, "KOVAEO OE", 0x9990, "KOVA", "", 1, "KOVA Port 3", nullptr},
        {0x8000 | 12, "KOVA", 0x9990, "KOVA", "", 1, "KOVA Port 12", nullptr},
        {0x0000, "VLXN-7 ", 0x9990, "KOVA", "", 1, "VLXN-7", nullptr},
        {0x0000, "TLXN", 0x9990, "KOVA", "", 1, "TLXN", nullptr},
        {0x8001, "KOVA", 0x1234, "KOVA", "", 1, "", nullptr},
        {0x0000, "SCALES", 0x9990, "KOVA", keys::F10, 1, nullptr,
         "Connected module is not an KOVA"},
        {0x0000, "SCALES", 0x9990, "KOVA", keys::Esc, 0, nullptr,
         "Connected module is not an KOVA"},
        {0x0000, "SCALES", 0x9990, "", "", 1, "SCALES", nullptr},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        WriteNameBlock(c.info, c.name, c.marker);
        PutText("left from before", 2, 15, 50, 'x', 0);
        const ScreenSnapshot before = ImageNow();
        Snapshots().clear();
        Type(c.error ? keys::F1 + c.keys : c.keys);
        ModuleSession module{sim->link(), SilentReports()};
        EXPECT_EQ(c.result, IdentifyModule(module, c.expected));
        ExpectAllKeysRead();
        const ScreenSnapshot after = ImageNow();
        if (c.row2) {
            EXPECT_EQ(Centred(c.row2), after.At(2, 15, 50));
            EXPECT_EQ('2', after.AttrAt(2, 15));
        } else {
            EXPECT_EQ(before.At(2, 15, 50), after.At(2, 15, 50));
        }
        ASSERT_EQ(c.error ? 1u : 0u, Snapshots().size());
        if (c.error) {
            EXPECT_NE(std::string::npos, Snapshots()[0].chars[23].find(c.error));
        }
    }
}

TEST_F(ModuleScreens, FailedIdentificationReadIsSilentOnlyWithoutAName) {
    ModuleSession unlinked;
    Type(keys::F1 + keys::Esc);
    EXPECT_EQ(0, IdentifyModule(unlinked, "KOVA"));
    ASSERT_EQ(1u, Snapshots().size());
    EXPECT_NE(std::string::npos, Snapshots()[0].chars[23].find("Handle not valid"));
    Type(keys::F10);
    EXPECT_EQ(1, IdentifyModule(unlinked, "KOVA"));
    EXPECT_EQ(1, IdentifyModule(unlinked, ""));
    ExpectAllKeysRead();
}

TEST_F(ModuleScreens, EepromCommandAndItsAnswers) {
    struct Case {
        std::vector<std::string> options;
        bool trapped;
        bool linked;
        const char* message;  // null: stored, said in the window until a key
    } const kCases[] = {
        {{}, true, true, nullptr},
        // The module's answers are shown even when errors are not trapped.
        {{"--no-eeprom"}, false, true, "Module not equipped with EEPROM"},
        {{"--eeprom-status", "1"}, false, true, "Unexpected result $0001"},
        {{}, true, false, "Unable to write 8174"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.message ? c.message : "stored");
        StartSim(c.options);
        TrapErrors(c.trapped);
        Snapshots().clear();
        const ScreenSnapshot before = ImageNow();
        Type(keys::F1 + (c.message ? keys::F10 : std::string(" ")));
        ModuleSession module{c.linked ? sim->link() : nullptr, SilentReports()};
        EXPECT_EQ(1, WriteSetupToEeprom(module));
        ExpectAllKeysRead();
        ASSERT_EQ(1u, Snapshots().size());
        const ScreenSnapshot& shown = Snapshots()[0];
        EXPECT_NE(std::string::npos, shown.chars[10].find("WRITE SETUP TO EEPROM"));
        if (c.message)
            EXPECT_NE(std::string::npos, shown.chars[23].find(c.message));
        else
            EXPECT_EQ(shown.At(11, 19, 43), "          Setup written to EEPROM          ");
        EXPECT_EQ(before.chars, ImageNow().chars);
    }
}

}  // namespace
