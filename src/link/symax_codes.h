// Control characters and state numbers of the Sy/Max link protocol.
#pragma once
#include <cstdint>

namespace symax {

constexpr uint8_t DLE = 0x10, SOH = 0x01, STX = 0x02, ETX = 0x03, ENQ = 0x05;
constexpr uint8_t DC1 = 0x11, DC2 = 0x12, NAK = 0x15, SYN = 0x16, FILL = 0xFE;

constexpr int kFillsPerInquiry = 10;
constexpr int kInquiries = 32;
constexpr int kRetries = 8;
constexpr int kMaxRouteChars = 16;

enum ReceiveState : uint8_t { RxIdle, RxTag, RxRoute, RxData, RxCheckHigh, RxCheck };
enum ReceiveFlag : uint8_t { RxAfterDle = 0x01, RxTakeRaw = 0x02 };

enum TransmitState : uint8_t {
    TxIdle,
    TxStart,
    TxSoh,
    TxTag,
    TxRoute,
    TxStx,
    TxData,
    TxEtx,
    TxCheckHigh,
    TxCheckLow,
    TxAwaitAck,
};

}  // namespace symax
