// The Sy/Max link kind: its two per-byte state machines and its requests.
#pragma once
#include <cstdint>

struct Link;

void SyMaxReceiveByte(Link* link, uint8_t byte);
int SyMaxNextTransmitByte(Link* link);

int SyMaxRead(Link* link, int reg, int count, uint16_t* values);
int SyMaxWrite(Link* link, int reg, int count, const uint16_t* values);
int SyMaxInputRead(Link* link, int reg, int count, uint16_t* values);
