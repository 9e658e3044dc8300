// Where print-outs go: the printer names "LPT1:", "LPT1" and "PRN" (any case)
// feed the system print spooler `lp`, started directly (no shell ever sees
// the name); every other name is a file, created or truncated.
#pragma once
#include <cstddef>
#include <memory>
#include <string>

class OutputDevice {
  public:
    virtual ~OutputDevice() = default;
    // False when the bytes could not all be written.
    virtual bool Write(const void* data, size_t size) = 0;
    // Ends the output (the spooler is waited for); false on failure.
    virtual bool Close() = 0;
};

bool IsPrinterName(const std::string& name);
// Null when the device or file cannot be opened.
std::unique_ptr<OutputDevice> OpenOutputDevice(const std::string& name);
