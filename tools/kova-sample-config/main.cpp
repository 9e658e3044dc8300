// kova-sample-config: writes the sample configuration the demo's simulated
// module starts with, through the program's own defaults and file code. It
// looks like a small plant: a barcode scanner on port 1, a scale on port 2
// that is polled once a second and whose weight lands in an INTEGER register,
// ports 3 and 4 as a fresh configuration leaves them.
#include <cstdio>
#include <cstring>

#include "config/config_defaults.h"
#include "config/config_files.h"

namespace {

void SetText(char (&field)[65], const char* text) {
    std::memset(field, 0, sizeof field);
    std::strncpy(field, text, 64);
}

void SetPath(DataPath& path, const char* pattern, const char* mask, int16_t start, int16_t count,
             uint8_t mode, uint8_t goOn) {
    SetText(path.Pattern, pattern);
    SetText(path.Mask, mask);
    path.StartRegister = start;
    path.RegisterCount = count;
    path.EditingMode = mode;
    path.Continue = goOn;
}

// Port 1: a barcode scanner at 9600 8N1 sending 12-digit codes ended by CR LF;
// the code goes to registers 2-7 two characters a register, anything else to
// 24-39, clear of the scale's registers and of ports 3 and 4's first paths
// (10 and 14).
void BarcodePort(PortConfig& port) {
    port.BaudRate = 13;
    port.DataBits = 1;
    port.Parity = 0;
    port.StopBits = 0;
    port.Capitalize = 1;
    SetPath(port.Paths[0], "############", "____________", 2, 6, /*PACKED*/ 1, 0);
    SetPath(port.Paths[1], "*", "________________________________", 24, 16, /*PACKED*/ 1, 0);
}

// Port 2: a scale at 2400 7E1 answering "SI" with lines such as
// "S S     12.345 kg" (status, then the weight right-aligned in 9 columns); a
// stable weight goes to register 20 as an integer of grams (the mask drops
// the point), and the status letter (S stable, D moving) to register 21.
void ScalePort(PortConfig& port) {
    port.BaudRate = 9;
    port.DataBits = 0;
    port.Parity = 2;
    port.StopBits = 0;
    port.Capitalize = 0;
    SetPath(port.Paths[0], "S S *#.### kg", "__________\x7f______", 20, 1, /*INTEGER*/ 2, 1);
    SetPath(port.Paths[1], "S ? *", "\x7f\x7f_", 21, 1, /*ASCII*/ 0, 0);
    SetText(port.PollQueries[0], "SI\r\n");
    port.PollInterval = 100;  // hundredths of a second
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '-') {
        fprintf(argc == 2 && !std::strcmp(argv[1], "--help") ? stdout : stderr,
                "usage: kova-sample-config FILE.KOV\n"
                "Writes a sample module configuration (a barcode scanner on port 1, a polled\n"
                "scale on port 2) as a configuration file.\n");
        return argc == 2 && !std::strcmp(argv[1], "--help") ? 0 : 2;
    }
    ModuleConfig config;
    FillDefaults(config);
    BarcodePort(config.Ports[0]);
    ScalePort(config.Ports[1]);
    config.Plus.TerminateTimeout[1] = 50;  // the scale's line ends after half a second of quiet

    const int16_t printProgBaud = 3;  // 9600
    if (SaveConfigFile(argv[1], DocumentOf(config, printProgBaud, 0)) != SaveResult::Saved) {
        fprintf(stderr, "kova-sample-config: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
