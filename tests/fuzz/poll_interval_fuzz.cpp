// Fuzz target: any text in the poll interval field reads without running past
// its end, and an interval shown in the field reads back as itself.
#include <cstddef>
#include <cstdint>
#include <string>

#include "editors/poll_editor.h"

namespace {

void Require(bool ok) {
    if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The field is 6 characters wide; a heap copy of exactly the text lets
    // the address sanitizer see any read past its terminator.
    std::string text(reinterpret_cast<const char*>(data), size < 6 ? size : 6);
    text = text.c_str();
    char* copy = new char[text.size() + 1];
    text.copy(copy, text.size());
    copy[text.size()] = '\0';
    ParsePollInterval(copy);
    delete[] copy;
    if (size >= 4) {
        const uint32_t interval = (data[0] | data[1] << 8 | uint32_t(data[2]) << 16) % 100000;
        Require(ParsePollInterval(PollIntervalText(interval).c_str()) == interval);
    }
    return 0;
}
