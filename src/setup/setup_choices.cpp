// Choice texts of the setup forms.
#include "setup/setup_choices.h"

const char* const kConnectionTypeTexts[] = {"NONE",         "Sy/Max COM:", "Net-to-Net COM:",
                                            "Gateway COM:", "Modbus RTU",  "Modbus ASCII",
                                            "Modbus TCP",   nullptr};
const char* const kSetupDataBitsTexts[] = {"7", "8", nullptr};
const char* const kSetupStopBitsTexts[] = {"1", "2", nullptr};
const char* const kSetupParityTexts[] = {"NONE", "EVEN", "ODD", nullptr};
const char* const kErrorCheckTexts[] = {"BCC", "CRC", nullptr};
const char* const kYesNoTexts[] = {"YES", "NO", nullptr};
const char* const kPriorityTexts[] = {"Non-Priority", "Priority", nullptr};
const char* const kRegisterSetTexts[] = {"4x", "3x", nullptr};
