// The texts the setup forms choose from, in the order of the values the
// record stores.
#pragma once

extern const char* const kConnectionTypeTexts[];  // index = LinkType, 0 "NONE"
extern const char* const kSetupDataBitsTexts[];   // "7" "8"
extern const char* const kSetupStopBitsTexts[];   // "1" "2"
extern const char* const kSetupParityTexts[];     // "NONE" "EVEN" "ODD"
extern const char* const kErrorCheckTexts[];      // "BCC" "CRC"
extern const char* const kYesNoTexts[];           // "YES" "NO"
extern const char* const kPriorityTexts[];        // "Non-Priority" "Priority"
extern const char* const kRegisterSetTexts[];     // "4x" "3x"

// Port choice fields are wider than the five columns of a COM name, so that
// whole Linux device names (ttyUSB10) show.
constexpr int kPortFieldWidth = 12;

constexpr char kEditAborted[] = "Edit aborted by ESC. Modifications lost.";
