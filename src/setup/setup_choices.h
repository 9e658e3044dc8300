// The texts the setup forms choose from, in the order of the values the
// record stores.
#pragma once
#include <cstdint>

#include "setup/serial_port_list.h"

extern const char* const kSetupDataBitsTexts[];  // "7" "8"
extern const char* const kSetupStopBitsTexts[];  // "1" "2"
extern const char* const kSetupParityTexts[];    // "NONE" "EVEN" "ODD"
extern const char* const kErrorCheckTexts[];     // "BCC" "CRC"
extern const char* const kYesNoTexts[];          // "YES" "NO"
extern const char* const kPriorityTexts[];       // "Non-Priority" "Priority"
extern const char* const kRegisterSetTexts[];    // "4x" "3x"

// The baud rates of the link and the terminal: the module's sixteen rates,
// then the faster ones today's devices use, so that older setup files keep
// the meaning of their indexes (new rates go at the end). The texts are as
// wide as the field.
constexpr int kSetupBaudCount = 22;
constexpr int kSetupBaudWidth = 6;
extern const char* const kSetupBaudTexts[];  // kSetupBaudCount entries and nullptr
extern const int32_t kSetupBaudValues[kSetupBaudCount];
// The index of a rate in the list; -1 when it has none.
int SetupBaudIndexOf(int32_t baud);

// Port choice fields are wider than the five columns of a COM name, so that
// whole Linux device names (ttyUSB10) show.
constexpr int kPortFieldWidth = 12;
// The link form has room for the adapter after the name, up to the window's
// right edge: "ttyUSB0 usb-FTDI_FT232R_USB_UART_A50...".
constexpr int kLinkPortFieldWidth = kSerialPortLabelWidth;

constexpr char kEditAborted[] = "Edit aborted by ESC. Modifications lost.";
