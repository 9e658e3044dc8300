// A program of the build run as a test peer: started with its standard output
// on a pipe, its first line read with a deadline, stopped by its pid.
#pragma once
#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

class SpawnedTool {
public:
    // name: a program of the build directory (KOVA_BUILD_DIR, else the
    // directory two levels above the test program).
    SpawnedTool(const std::string& name, const std::vector<std::string>& arguments);
    ~SpawnedTool();  // SIGTERM to the pid, then waits for it
    SpawnedTool(const SpawnedTool&) = delete;
    SpawnedTool& operator=(const SpawnedTool&) = delete;

    bool Started() const { return pid_ > 0; }
    // The first line of its output without the newline; empty after the deadline.
    std::string FirstLine(std::chrono::milliseconds deadline = std::chrono::milliseconds(5000));

private:
    pid_t pid_ = -1;
    int output_ = -1;
};

std::string BuildPath(const std::string& name);
