// Sy/Max reads and writes on the register image: standard opcodes answer
// with 0x86 (data) and 0x80 (write done), priority ones with 0x90 and 0x92,
// errors with 0xA2; a Modbus request carried in a frame (0x22) with 0x92.
#include "replies.h"

namespace {

constexpr uint8_t kIllegalOpcode = 1;
constexpr uint8_t kIllegalAddress = 3;
constexpr uint8_t kProtectedRegister = 7;

unsigned Word(const Bytes& b, size_t at) { return unsigned(b[at]) << 8 | b[at + 1]; }

void PutWords(Bytes& out, const uint16_t* values, int count) {
    for (int i = 0; i < count; ++i) {
        out.push_back(uint8_t(values[i] >> 8));
        out.push_back(uint8_t(values[i]));
    }
}

uint8_t CodeOf(RegisterStatus status) {
    return status == RegisterStatus::Protected ? kProtectedRegister : kIllegalAddress;
}

Bytes ErrorReply(uint8_t transaction, uint8_t code) { return {0xA2, transaction, code}; }

// Byte offsets are even: register = offset / 2 + 1.
Bytes Read(const Bytes& req, RegisterImage& image, bool priority) {
    size_t at = priority ? 5 : 2;
    if (req.size() < at + 4) return ErrorReply(req[1], kIllegalOpcode);
    int first = int(Word(req, at) / 2) + 1, count = req[at + 3] + 1;
    std::vector<uint16_t> values(static_cast<size_t>(count));
    RegisterStatus status = image.Read(first, count, values.data());
    if (status != RegisterStatus::Ok) return ErrorReply(req[1], CodeOf(status));
    Bytes out = priority ? Bytes{0x90, req[1], 0, 0, 0, 0, 0} : Bytes{0x86, req[1], 0, 0};
    PutWords(out, values.data(), count);
    return out;
}

Bytes Write(const Bytes& req, RegisterImage& image, bool priority) {
    size_t at = priority ? 3 : 2;
    size_t trailer = priority ? 0 : 2;  // the standard write ends with 0xFF 0xFF
    if (req.size() < at + 2 + trailer + 2 || (req.size() - at - 2 - trailer) % 2)
        return ErrorReply(req[1], kIllegalOpcode);
    int first = int(Word(req, at) / 2) + 1;
    int count = int(req.size() - at - 2 - trailer) / 2;
    std::vector<uint16_t> values(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) values[size_t(i)] = uint16_t(Word(req, at + 2 + 2 * size_t(i)));
    RegisterStatus status = image.Write(first, count, values.data());
    if (priority)
        return {0x92, req[1], 0, 0, uint8_t(status == RegisterStatus::Ok ? 0 : CodeOf(status))};
    if (status != RegisterStatus::Ok) return ErrorReply(req[1], CodeOf(status));
    return {0x80, req[1]};
}

Bytes CarriedModbus(const Bytes& req, RegisterImage& image, int errorCode) {
    if (req.size() != 9 || req[4] != 0x04) return {0x92, req[1], 0, 0, 0x84, 1};
    if (errorCode >= 0) return {0x92, req[1], 0, 0, 0x84, uint8_t(errorCode)};
    int first = int(Word(req, 5)) + 1, count = int(Word(req, 7));
    std::vector<uint16_t> values(static_cast<size_t>(count));
    if (count < 1 || image.ReadInput(first, count, values.data()) != RegisterStatus::Ok)
        return {0x92, req[1], 0, 0, 0x84, 2};
    Bytes out = {0x92, req[1], 0, 0, 0x04, uint8_t(2 * count)};
    PutWords(out, values.data(), count);
    return out;
}

}  // namespace

Bytes SyMaxReply(const Bytes& request, RegisterImage& image, int errorCode) {
    if (request.size() < 2) return {};
    if (request[0] == 0x22) return CarriedModbus(request, image, errorCode);
    if (errorCode >= 0) return ErrorReply(request[1], uint8_t(errorCode));
    switch (request[0]) {
        case 0x00:
            return Read(request, image, false);
        case 0x20:
            return Read(request, image, true);
        case 0x02:
            return Write(request, image, false);
        case 0x1E:
            return Write(request, image, true);
        default:
            return ErrorReply(request[1], kIllegalOpcode);
    }
}
