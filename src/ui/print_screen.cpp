// Print screen: the output format and the dialog that names the output.
#include "ui/print_screen.h"

#include <cstring>

#include "ui/boxes.h"
#include "ui/console/keys.h"
#include "ui/edit_text.h"
#include "ui/output_device.h"
#include "ui/screen.h"

namespace {

constexpr int kRows = 25;
constexpr int kCols = 80;

// Code page 437 double-line frames print as ASCII; other bytes a printer may
// not have print as dots.
char Printable(uint8_t c) {
    switch (c) {
        case 0xBA:
            return '|';
        case 0xBB:
        case 0xBC:
        case 0xC8:
        case 0xC9:
            return '+';
        case 0xCD:
            return '-';
        default:
            return (c < 0x20 || c > 0x7F) ? '.' : char(c);
    }
}

}  // namespace

std::string ScreenPrintOf(const uint8_t* chars, const uint8_t* attrs, int stride) {
    std::string out;
    out.reserve(kRows * (2 * kCols + 2) + 1);
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kCols; ++c) out += Printable(chars[r * stride + c]);
        out += '\r';
        for (int c = 0; c < kCols; ++c) {
            uint8_t a = attrs[r * stride + c] & 7;
            out += (a == 0 || a == 2) ? ' ' : '_';
        }
        out += '\n';  // the text-mode line end of this system
    }
    out += '\f';
    return out;
}

std::string ScreenTextOf(const uint8_t* chars, int stride) {
    std::string out;
    out.reserve(kRows * (kCols + 1));
    for (int r = 0; r < kRows; ++r) {
        std::string line;
        for (int c = 0; c < kCols; ++c) line += Printable(chars[r * stride + c]);
        line.erase(line.find_last_not_of(' ') + 1);
        out += line + '\n';
    }
    return out;
}

namespace {

struct ScreenImage {
    uint8_t chars[kRows * kCols], attrs[kRows * kCols];
    ScreenImage() {
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) {
                chars[r * kCols + c] = ScreenChar(r, c);
                attrs[r * kCols + c] = ScreenAttr(r, c);
            }
    }
};

}  // namespace

std::string ScreenPrintOfImage() {
    const ScreenImage image;
    return ScreenPrintOf(image.chars, image.attrs, kCols);
}

std::string ScreenTextOfImage() { return ScreenTextOf(ScreenImage().chars, kCols); }

int PrintScreen(int, int) {
    WindowHandle window = OpenWindow(10, 20, 13, 58, "PRINT SCREEN");
    PutText("Output file:", 11, 22, 0, ' ', 0);
    char name[35] = "LPT1:";
    const char exits[] = {char(key::Enter), char(key::Esc), 0};
    for (;;) {
        int k = EditText(name, 12, 22, 34, '_', kPathCharacters, exits, 0x0A02);
        if (k == key::Esc) break;
        std::string reason;
        auto output = OpenOutputDevice(name, &reason);
        if (!output) {
            ShowErrorWithReason(OpenFailure(name).c_str(), reason);
            continue;
        }
        // The window goes first so that the print shows the screen under it.
        CloseWindow(window);
        // The overstrike marks are for paper: in a file they would hide the
        // text from anyone who reads it.
        const std::string page = output->IsPrinter() ? ScreenPrintOfImage() : ScreenTextOfImage();
        const bool written = output->Write(page.data(), page.size());
        // A spooler that refused the job must not pass for a print.
        if (!output->Close() || !written)
            ShowErrorWithReason(WriteFailure(name).c_str(), output->FailureReason());
        return 0;
    }
    CloseWindow(window);
    return 0;
}
