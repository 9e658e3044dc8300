// The Modbus serial link kinds (RTU and ASCII): framing state machines and
// the register requests for functions 3, 4, 16 and 21 that both share.
#pragma once
#include <cstdint>

struct Link;

namespace modbus {
enum ReceiveState : uint8_t {
    RxIdle = 0,
    RxDiscardFrame = 7,  // an overflowed RTU frame, until the next pause
    RxRtuFrame = 8,
    RxAsciiFrame = 9,
};
enum TransmitState : uint8_t {
    TxIdle = 0,
    TxRtuPdu = 11,
    TxAsciiDigits = 12,
    TxRtuCrcHigh = 13,
    TxAsciiLrcLow = 14,
    TxAsciiCr = 15,
    TxAsciiLf = 16,
};
constexpr uint8_t RxSecondDigit = 0x01;  // ASCII receive flag
}  // namespace modbus

void ModbusRtuReceiveByte(Link* link, uint8_t byte);
int ModbusRtuNextTransmitByte(Link* link);
void ModbusRtuEndOfFrame(Link* link);
// Whole reply length (address, PDU and CRC) as far as the first received
// bytes after the address tell it, or 0 while unknown.
int ExpectedRtuReplyLength(const uint8_t* received, int count);

void ModbusAsciiReceiveByte(Link* link, uint8_t byte);
int ModbusAsciiNextTransmitByte(Link* link);

int ModbusRead(Link* link, int reg, int count, uint16_t* values, uint8_t function);
int ModbusHoldingRead(Link* link, int reg, int count, uint16_t* values);
int ModbusInputRead(Link* link, int reg, int count, uint16_t* values);
int ModbusWrite(Link* link, int reg, int count, const uint16_t* values);
int ModbusGeneralReferenceWrite(Link* link, int reg, int count, const uint16_t* values);
