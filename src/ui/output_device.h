// Where print-outs go: the printer names "LPT1:", "LPT1" and "PRN" (any case)
// feed the system print spooler `lp`, started directly (no shell ever sees
// the name); every other name is a file, created or truncated. A name that
// leads to a character device (a printer port such as /dev/lp0 or
// /dev/usb/lp0) is a printer too.
#pragma once
#include <cstddef>
#include <memory>
#include <string>

class OutputDevice {
  public:
    virtual ~OutputDevice() = default;
    // False when the bytes could not all be written.
    virtual bool Write(const void* data, size_t size) = 0;
    // Ends the output (the spooler is waited for); false on failure, with
    // what went wrong in FailureReason.
    virtual bool Close() = 0;
    virtual std::string FailureReason() const { return {}; }
    // A printer (the spooler or a device) rather than a file someone reads
    // as text.
    virtual bool IsPrinter() const = 0;
};

bool IsPrinterName(const std::string& name);
// Null when the device or file cannot be opened; then *reason (if given) says
// why, in a line for the status row.
std::unique_ptr<OutputDevice> OpenOutputDevice(const std::string& name,
                                               std::string* reason = nullptr);

extern const char kNoSpoolerReason[];

// The error window's texts for an output that could not be opened or written.
std::string OpenFailure(const std::string& name);
std::string WriteFailure(const std::string& name);
