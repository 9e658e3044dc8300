// A file's whole contents as a test reads them back: empty when the file
// cannot be read (it is not there yet, or is a directory).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

std::string ReadFile(const std::string& path);
std::vector<uint8_t> ReadFileBytes(const std::string& path);
