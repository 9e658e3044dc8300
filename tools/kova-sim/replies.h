// The answers of the simulated module, as plain functions of a request and
// the register image (one small function per request kind).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "register_image.h"

using Bytes = std::vector<uint8_t>;

// A Modbus PDU in, the reply PDU out. errorCode >= 0 answers every request
// with that exception instead.
Bytes ModbusReply(const Bytes& request, RegisterImage& image, int errorCode);

// The data area of a Sy/Max frame in, the reply's data area out (empty: no
// reply). errorCode >= 0 answers with that Sy/Max error (or, for a Modbus
// request carried over Sy/Max, that exception).
Bytes SyMaxReply(const Bytes& request, RegisterImage& image, int errorCode);
