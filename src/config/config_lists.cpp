// Value lists and control-character names of the configuration record.
#include "config/config_lists.h"

const char* const kPortBaudTexts[] = {"50   ", "75   ", "110  ", "134.5", "150  ", "300  ",
                                      "600  ", "1200 ", "1800 ", "2400 ", "3600 ", "4800 ",
                                      "7200 ", "9600 ", "14400", "19200", nullptr};
// 134.5 baud is kept as 135 wherever a whole number is needed.
const int32_t kPortBaudValues[16] = {50,   75,   110,  135,  150,  300,  600,   1200,
                                     1800, 2400, 3600, 4800, 7200, 9600, 14400, 19200};
const char* const kDataBitsTexts[] = {"7", "8", nullptr};
const char* const kParityTexts[] = {"NONE", "ODD ", "EVEN", nullptr};
const char* const kStopBitsTexts[] = {"1", "2", nullptr};
const char* const kNoYesTexts[] = {"NO ", "YES", nullptr};
const char* const kEditingModeTexts[] = {"ASCII  ", "PACKED ", "INTEGER", "FLOAT  ", "BCD    ",
                                         "HEX    ", "OCTAL  ", "IDEC   ", nullptr};
const char* const kPrintProgBaudTexts[] = {"300  ", "1200 ", "2400 ", "9600 ", nullptr};
const int32_t kPrintProgBaudValues[4] = {300, 1200, 2400, 9600};

namespace {
const char* const kControlNames[32] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",
                                       "BS ", "HT ", "LF ", "VT ", "FF ", "CR ", "SO ", "SI ",
                                       "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",
                                       "CAN", "EM ", "SUB", "ESC", "FS ", "GS ", "RS ", "US "};
}

const char* ControlCharName(unsigned code) {
    if (code < 32) return kControlNames[code];
    if (code == 127) return "DEL";
    return nullptr;
}

namespace {
std::string Fitted(std::string text, int width) {
    if (width > 0 && int(text.size()) > width) return std::string(size_t(width), '?');
    return text;
}
}  // namespace

std::string ListText(const char* const* texts, long index, int width) {
    for (long i = 0; texts[i]; ++i)
        if (i == index) return Fitted(texts[i], width);
    return Fitted(std::to_string(index) + "?", width);
}

std::string FieldNumberText(long value, int width) { return Fitted(std::to_string(value), width); }
