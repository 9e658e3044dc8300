// Defaults of a fresh offline memory, checked against the bytes of the image.
#include "config/config_defaults.h"

#include <gtest/gtest.h>

#include <cstring>

#include "config/config_documents.h"
#include "config/config_lists.h"
#include "config/module_config.h"

namespace {

const uint8_t* Bytes(const PortConfig& port) { return reinterpret_cast<const uint8_t*>(&port); }

TEST(Defaults, PortCommunicationAndSetsAsBytes) {
    ModuleConfig c;
    std::memset(&c, 0x5A, sizeof c);
    FillDefaults(c);
    for (int p = 0; p < 4; ++p) {
        const uint8_t* b = Bytes(c.Ports[p]);
        const uint8_t head[10] = {13, 0, 1, 0, 0, 0, 1, 0, 0, 0};
        EXPECT_EQ(0, std::memcmp(b, head, 10)) << "port " << p;
        for (int i = 0; i < 32; ++i) {
            uint8_t accept = (i < 4 || (i >= 16 && i < 20)) ? 0x00 : 0xFF;
            uint8_t terminate = (i == 1 || i == 17) ? 0x24 : 0x00;
            EXPECT_EQ(accept, b[10 + i]) << "accept byte " << i;
            EXPECT_EQ(terminate, b[42 + i]) << "terminate byte " << i;
        }
        for (int i = 618; i < 1664; ++i) ASSERT_EQ(0, b[i]) << "poll area byte " << i;
    }
    EXPECT_EQ(1, c.Plus.RackBase);
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(0, c.Plus.TriggerInhibit[p]);
        EXPECT_EQ(0, c.Plus.TerminateCount[p]);
        EXPECT_EQ(0, c.Plus.TerminateTimeout[p]);
    }
}

TEST(Defaults, PathsOfEveryPort) {
    ModuleConfig c;
    FillDefaults(c);
    const std::string mask(64, '_');
    for (int p = 0; p < 4; ++p) {
        for (int k = 0; k < 4; ++k) {
            const DataPath& path = c.Ports[p].Paths[k];
            SCOPED_TRACE(testing::Message() << "port " << p + 1 << " path " << k + 1);
            EXPECT_STREQ(k == 0 ? "*" : "", path.Pattern);
            EXPECT_EQ(mask, path.Mask);
            EXPECT_EQ(2 + 4 * p + k, path.StartRegister);
            EXPECT_EQ(k == 0 ? 1 : 0, path.RegisterCount);
            EXPECT_EQ(k == 0 ? 2 : 0, path.EditingMode);
            EXPECT_EQ(0, path.Continue);
        }
    }
}

TEST(Defaults, SetDefaultsFillsOfflineMemoryAndBaud) {
    struct Case {
        int32_t computerBaud;
        int16_t printProgBaud;
    } kCases[] = {{2400, 2}, {300, 0}, {19200, 3}, {0, 3}};  // 0: no rate known, 9600
    for (const Case& c : kCases) {
        ConfigDocuments documents;
        documents.PrintProgBaud = -1;
        documents.WorkingConfig.Plus.RackBase = 77;
        SetDefaults(documents, c.computerBaud);
        ModuleConfig expected;
        FillDefaults(expected);
        EXPECT_EQ(0, std::memcmp(&expected, &documents.OfflineMemory, sizeof expected));
        EXPECT_EQ(1, documents.WorkingConfig.Plus.RackBase);
        EXPECT_EQ(c.printProgBaud, documents.PrintProgBaud) << c.computerBaud;
    }
}

TEST(Defaults, PrintProgBaudIndexOfRates) {
    struct Case {
        int32_t baud;
        int16_t index;
    } kCases[] = {{300, 0}, {1200, 1}, {2400, 2}, {9600, 3}, {19200, 3}, {4800, 3}, {0, 3}};
    for (const auto& c : kCases) EXPECT_EQ(c.index, PrintProgBaudIndexOf(c.baud)) << c.baud;
}

TEST(Lists, ControlCharacterNames) {
    struct Case {
        unsigned code;
        const char* name;
    } kCases[] = {{0, "NUL"},  {8, "BS "},   {13, "CR "},   {27, "ESC"},
                  {31, "US "}, {127, "DEL"}, {32, nullptr}, {128, nullptr}};
    for (const auto& c : kCases) {
        if (c.name)
            EXPECT_STREQ(c.name, ControlCharName(c.code)) << c.code;
        else
            EXPECT_EQ(nullptr, ControlCharName(c.code)) << c.code;
    }
}

}  // namespace
