// Carriage return and blanks only, no escape sequences: any terminal, and a
// line cut to the terminal's width so that it never wraps.
#include "progress_line.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>

#include "common/printable.h"

ProgressLine::ProgressLine(bool wanted) : enabled_(wanted && isatty(STDERR_FILENO)) {
    winsize size{};
    if (enabled_ && ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 10)
        width_ = size.ws_col;
}

ProgressLine::~ProgressLine() { Clear(); }

void ProgressLine::EraseLocked() {
    if (!shown_) return;
    std::fprintf(stderr, "\r%*s\r", int(shown_), "");
    shown_ = 0;
}

void ProgressLine::Show(const std::string& text) {
    if (!enabled_) return;
    std::lock_guard<std::mutex> guard(lock_);
    const auto now = std::chrono::steady_clock::now();
    if (shown_ && now - last_ < std::chrono::milliseconds(50)) return;
    last_ = now;
    const std::string line = tools::Printable(text).substr(0, size_t(width_ - 1));
    std::fprintf(stderr, "\r%s", line.c_str());
    if (line.size() < shown_) std::fprintf(stderr, "%*s", int(shown_ - line.size()), "");
    shown_ = line.size() > shown_ ? line.size() : shown_;
    std::fflush(stderr);
}

void ProgressLine::Clear() {
    std::lock_guard<std::mutex> guard(lock_);
    EraseLocked();
    std::fflush(stderr);
}

void ProgressLine::Message(const std::string& text) {
    std::lock_guard<std::mutex> guard(lock_);
    EraseLocked();
    std::fprintf(stderr, "%s\n", tools::Printable(text).c_str());
    std::fflush(stderr);
}
