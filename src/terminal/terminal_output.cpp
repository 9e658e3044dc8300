// Terminal output: the screen through the console's teletype mode, the
// capture file written as data arrives and flushed whenever the input
// pauses, so a killed program or a pulled plug loses nothing that was shown.
#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <ctime>

#include "terminal/terminal_session.h"
#include "ui/screen.h"

namespace {

void ToScreen(const std::string& text) {
    ActiveConsole().WriteTeletype(reinterpret_cast<const uint8_t*>(text.data()), int(text.size()));
}

// A capture that cannot be written is ended with the reason, not dropped silently.
void CaptureFailed(TerminalSession& s) {
    int error = errno;
    std::fclose(s.capture);
    s.capture = nullptr;
    s.captureUnflushed = false;
    s.captureRaw = false;
    PrintF(s, "\nCapture file: \"%s\" could not be written (%s). Capture ended.\n",
           s.captureName.c_str(), std::strerror(error));
    s.display.column = 1;
}

// "[HH:MM:SS.mmm] ", local time.
std::string TimeOfDayStamp() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    char text[32];
    std::snprintf(text, sizeof text, "[%02d:%02d:%02d.%03ld] ", local.tm_hour, local.tm_min,
                  local.tm_sec, long(now.tv_nsec / 1000000));
    return text;
}

}  // namespace

void Print(TerminalSession& s, const std::string& text) {
    ToScreen(text);
    if (!text.empty() && text.back() == '\n') s.lineStart = true;
}

void PrintF(TerminalSession& s, const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    Print(s, text);
}

void Show(TerminalSession& s, const std::string& text) {
    ToScreen(text);
    if (!text.empty()) s.lineStart = text.back() == '\n';
    if (!s.capture || s.captureRaw || text.empty()) return;
    if (std::fwrite(text.data(), 1, text.size(), s.capture) != text.size()) return CaptureFailed(s);
    s.captureUnflushed = true;
}

void CaptureRaw(TerminalSession& s, const uint8_t* bytes, int count) {
    if (!s.capture || !s.captureRaw || count <= 0) return;
    if (std::fwrite(bytes, 1, size_t(count), s.capture) != size_t(count)) return CaptureFailed(s);
    s.captureUnflushed = true;
}

std::string StampLines(TerminalSession& s, const std::string& text) {
    std::string stamp = TimeOfDayStamp();
    std::string out;
    bool lineStart = s.lineStart;
    for (char c : text) {
        if (lineStart && c != '\r' && c != '\n') out += stamp;
        lineStart = c == '\n' || (lineStart && c == '\r');
        out += c;
    }
    return out;
}

void FlushCapture(TerminalSession& s) {
    if (!s.capture || !s.captureUnflushed) return;
    s.captureUnflushed = false;
    if (std::fflush(s.capture) != 0) CaptureFailed(s);
}

void CloseCapture(TerminalSession& s) {
    if (!s.capture) return;
    bool written = std::fflush(s.capture) == 0;
    int error = errno;
    written = std::fclose(s.capture) == 0 && written;
    s.capture = nullptr;
    s.captureUnflushed = false;
    s.captureRaw = false;
    if (written)
        PrintF(s, "\nCapture file: \"%s\" closed.\n", s.captureName.c_str());
    else
        PrintF(s, "\nCapture file: \"%s\" could not be written (%s). Capture ended.\n",
               s.captureName.c_str(), std::strerror(error));
}

void MarkPortLost(TerminalSession& s) {
    if (s.lost) return;
    s.lost = true;
    s.nextReopen = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReopenIntervalMs);
    // Closing at once frees the device name and its locks for when it comes back.
    nt_sio::SioClose(&s.port);
    FlushCapture(s);
    PrintF(s, "\r\nLost port: \"%s\". Type contrl-End or ctrl-T Q to exit terminal.\n",
           s.portName.c_str());
    s.display = TerminalDisplay{s.display.hexOnly, 1, false};
}

void SendBytes(TerminalSession& s, const std::string& bytes) {
    if (s.lost || bytes.empty()) return;
    int put = 0;
    long status =
        nt_sio::SioWrite(&s.port, nt_sio::SioNoTimeout,
                         reinterpret_cast<const uint8_t*>(bytes.data()), int(bytes.size()), &put);
    if (status == nt_sio::SioEndOfFile) MarkPortLost(s);
}
