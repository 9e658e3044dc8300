// Fuzz target for the Modbus TCP reply parsing: the input describes a request
// (function and count) and a stream of reply frames, each near a valid one
// (fields right or off by a little) or raw bytes, cut into chunks of varying
// size and fed through the frame receiver and the reply check as the link does.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "link/mbap_frame.h"

namespace {

constexpr uint8_t kFunctions[] = {0x03, 0x04, 0x10, 0x15};

// Bytes of input, 0 once it is used up.
struct Input {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    uint8_t Next() { return at < size ? data[at++] : 0; }
    bool Done() const { return at >= size; }
};

// One frame of the stream from a shape byte: each field is the right one or,
// by the shape's bits, another value from the input.
void AppendFrame(const MbapRequest& request, Input& in, std::vector<uint8_t>& stream) {
    uint8_t shape = in.Next();
    if (shape == 0xFF) {  // raw bytes
        for (int n = in.Next(); n > 0; --n) stream.push_back(in.Next());
        return;
    }
    std::vector<uint8_t> pdu;
    uint8_t function = request.function;
    if (shape & 0x01) function = shape & 0x02 ? uint8_t(function | 0x80) : in.Next();
    pdu.push_back(function);
    int data = 2 * request.count;
    pdu.push_back(shape & 0x04 ? in.Next() : uint8_t(data));
    if (shape & 0x08) data = in.Next();
    for (int i = 0; i < data; ++i) pdu.push_back(in.Next());
    int length = int(pdu.size()) + 1;
    if (shape & 0x10) length += int8_t(in.Next());
    if (shape & 0x20) pdu.resize(size_t(in.Next() % (pdu.size() + 1)));
    uint8_t unit = shape & 0x40 ? in.Next() : request.unit;
    const uint8_t header[] = {0, 1, 0, 0, uint8_t(length >> 8), uint8_t(length), unit};
    stream.insert(stream.end(), header, header + sizeof header);
    stream.insert(stream.end(), pdu.begin(), pdu.end());
}

void CheckFrame(const MbapRequest& request, const uint8_t* frame, int length) {
    char text[84];
    if (CheckMbapReply(request, frame, length, text, sizeof text)) {
        if (strlen(text) >= sizeof text) abort();
        return;
    }
    bool read = request.function < 0x10;
    if (read && length < 9 + 2 * request.count) abort();  // accepted data it does not carry
    uint16_t values[128];
    if (read) MbapReadValues(frame, request.count, values);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in{data, size};
    MbapRequest request;
    request.unit = 1;
    request.function = kFunctions[in.Next() % 4];
    request.count = in.Next() % 128 + 1;
    std::vector<uint8_t> stream;
    std::vector<uint8_t> chunks;
    while (!in.Done() && stream.size() < 4096) {
        chunks.push_back(in.Next());
        AppendFrame(request, in, stream);
    }
    if (chunks.empty()) chunks.push_back(0);
    // The buffer has the link's size exactly, so any overrun is caught.
    auto buffer = std::make_unique<uint8_t[]>(kMbapBufferSize);
    MbapReceiver receiver;
    long discard = 0;
    size_t pass = 0;
    for (size_t at = 0; at < stream.size(); ++pass) {
        size_t chunk = std::min<size_t>(1 + chunks[pass % chunks.size()] % 300, stream.size() - at);
        if (discard > 0) {
            size_t skip = std::min<size_t>(chunk, size_t(discard));
            discard -= long(skip);
            at += skip;
            continue;
        }
        int n = std::min<int>(int(chunk), MbapBytesWanted(receiver));
        if (n <= 0 || receiver.received + n > kMbapBufferSize) abort();
        memcpy(buffer.get() + receiver.received, stream.data() + at, size_t(n));
        at += size_t(n);
        switch (MbapAccept(receiver, buffer.get(), n)) {
            case MbapProgress::Complete:
                CheckFrame(request, buffer.get(), receiver.received);
                receiver = MbapReceiver();
                break;
            case MbapProgress::TooLarge:
                discard = MbapBytesLeft(receiver);
                receiver = MbapReceiver();
                break;
            case MbapProgress::More:
                break;
        }
    }
    return 0;
}
