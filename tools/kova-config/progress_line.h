// The progress line on standard error: one line rewritten in place, only
// when standard error is a terminal and -q was not given. Messages printed
// through it first clear the line, so the two never mix. Safe to use from
// several threads.
#pragma once
#include <chrono>
#include <mutex>
#include <string>

class ProgressLine {
  public:
    explicit ProgressLine(bool wanted);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Rewrites the line with text, at most every 50 ms so that a slow
    // terminal (ssh) is not flooded.
    void Show(const std::string& text);
    void Clear();
    // A line of its own on standard error (always, also with -q).
    void Message(const std::string& text);

  private:
    void EraseLocked();

    bool enabled_;
    int width_ = 80;
    size_t shown_ = 0;  // characters of the line now on the terminal
    std::chrono::steady_clock::time_point last_{};
    std::mutex lock_;
};
