// Choice texts of the setup forms.
#include "setup/setup_choices.h"

const char* const kSetupBaudTexts[] = {"50    ", "75    ", "110   ", "134.5 ", "150   ", "300   ",
                                       "600   ", "1200  ", "1800  ", "2400  ", "3600  ", "4800  ",
                                       "7200  ", "9600  ", "14400 ", "19200 ", "38400 ", "57600 ",
                                       "115200", "230400", "460800", "921600", nullptr};
// 134.5 baud is kept as 135 wherever a whole number is needed.
const int32_t kSetupBaudValues[kSetupBaudCount] = {50,    75,    110,   135,   150,    300,   600,
                                                   1200,  1800,  2400,  3600,  4800,   7200,  9600,
                                                   14400, 19200, 38400, 57600, 115200, 230400,
                                                   460800, 921600};

int SetupBaudIndexOf(int32_t baud) {
    for (int i = 0; i < kSetupBaudCount; ++i)
        if (kSetupBaudValues[i] == baud) return i;
    return -1;
}

const char* const kSetupDataBitsTexts[] = {"7", "8", nullptr};
const char* const kSetupStopBitsTexts[] = {"1", "2", nullptr};
const char* const kSetupParityTexts[] = {"NONE", "EVEN", "ODD", nullptr};
const char* const kErrorCheckTexts[] = {"BCC", "CRC", nullptr};
const char* const kYesNoTexts[] = {"YES", "NO", nullptr};
const char* const kPriorityTexts[] = {"Non-Priority", "Priority", nullptr};
const char* const kRegisterSetTexts[] = {"4x", "3x", nullptr};
