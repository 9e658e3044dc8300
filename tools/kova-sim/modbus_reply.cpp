// Modbus functions 3, 4, 16 and 21 on the register image.
#include "replies.h"

namespace {

enum Exception : uint8_t { IllegalFunction = 1, IllegalAddress = 2, IllegalValue = 3 };

unsigned Word(const Bytes& b, size_t at) { return unsigned(b[at]) << 8 | b[at + 1]; }

void PutWords(Bytes& out, const uint16_t* values, int count) {
    for (int i = 0; i < count; ++i) {
        out.push_back(uint8_t(values[i] >> 8));
        out.push_back(uint8_t(values[i]));
    }
}

std::vector<uint16_t> Words(const Bytes& b, size_t at, int count) {
    std::vector<uint16_t> values(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) values[size_t(i)] = uint16_t(Word(b, at + 2 * size_t(i)));
    return values;
}

Bytes ExceptionReply(uint8_t function, uint8_t code) { return {uint8_t(function | 0x80), code}; }

uint8_t CodeOf(RegisterStatus status) { return status == RegisterStatus::Ok ? 0 : IllegalAddress; }

Bytes ReadRegisters(const Bytes& req, RegisterImage& image) {
    if (req.size() != 5) return ExceptionReply(req[0], IllegalValue);
    int first = int(Word(req, 1)) + 1, count = int(Word(req, 3));
    if (count < 1 || count > 125) return ExceptionReply(req[0], IllegalValue);
    std::vector<uint16_t> values(static_cast<size_t>(count));
    RegisterStatus status = req[0] == 3 ? image.Read(first, count, values.data())
                                        : image.ReadInput(first, count, values.data());
    if (status != RegisterStatus::Ok) return ExceptionReply(req[0], CodeOf(status));
    Bytes out = {req[0], uint8_t(2 * count)};
    PutWords(out, values.data(), count);
    return out;
}

Bytes WriteMultiple(const Bytes& req, RegisterImage& image) {
    if (req.size() < 6) return ExceptionReply(req[0], IllegalValue);
    int first = int(Word(req, 1)) + 1, count = int(Word(req, 3));
    if (count < 1 || req[5] != 2 * count || req.size() != size_t(6 + 2 * count))
        return ExceptionReply(req[0], IllegalValue);
    auto values = Words(req, 6, count);
    RegisterStatus status = image.Write(first, count, values.data());
    if (status != RegisterStatus::Ok) return ExceptionReply(req[0], CodeOf(status));
    return Bytes(req.begin(), req.begin() + 5);
}

// Function 21 with reference type 3 and file 0 writes the input registers.
Bytes WriteGeneralReference(const Bytes& req, RegisterImage& image) {
    if (req.size() < 9 || req[1] != req.size() - 2 || req[2] != 3 || Word(req, 3) != 0)
        return ExceptionReply(req[0], IllegalValue);
    int first = int(Word(req, 5)) + 1, count = int(Word(req, 7));
    if (count < 1 || req.size() != size_t(9 + 2 * count))
        return ExceptionReply(req[0], IllegalValue);
    auto values = Words(req, 9, count);
    RegisterStatus status = image.WriteInput(first, count, values.data());
    if (status != RegisterStatus::Ok) return ExceptionReply(req[0], CodeOf(status));
    return req;
}

}  // namespace

Bytes ModbusReply(const Bytes& request, RegisterImage& image, int errorCode) {
    if (request.empty()) return {};
    if (errorCode >= 0) return ExceptionReply(request[0], uint8_t(errorCode));
    switch (request[0]) {
        case 0x03:
        case 0x04:
            return ReadRegisters(request, image);
        case 0x10:
            return WriteMultiple(request, image);
        case 0x15:
            return WriteGeneralReference(request, image);
        default:
            return ExceptionReply(request[0], IllegalFunction);
    }
}
