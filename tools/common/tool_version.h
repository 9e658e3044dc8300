// The version the tools report with --version: the release of kovasw they
// come with (kovasw --version says the same number).
#pragma once
#include <cstdio>

namespace tools {

constexpr const char* kKovaVersion = "1.0";

inline void PrintVersion(const char* tool) { std::printf("%s %s\n", tool, kKovaVersion); }

}  // namespace tools
