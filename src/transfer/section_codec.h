// Turning a port's configuration into the registers of one section and back,
// field by field. Register values from a module are untrusted: decoding
// stores them as they came (a send writes back what was read) but never lets
// a text field lose its terminator.
#pragma once
#include <cstdint>

#include "config/module_config.h"
#include "transfer/register_map.h"

// Fills section.count registers.
void EncodeSection(const PortConfig& port, const PortSection& section, uint16_t* registers);
// Stores section.count registers into the fields of the section.
void DecodeSection(const uint16_t* registers, const PortSection& section, PortConfig& port);

// The byte-pair order of byte blocks: register i holds bytes 2i (high) and
// 2i+1 (low).
void BytesToRegisters(const uint8_t* bytes, int registerCount, uint16_t* registers);
void RegistersToBytes(const uint16_t* registers, int registerCount, uint8_t* bytes);

// A poll interval in the two registers that carry it, high half first.
void SplitPollInterval(uint32_t interval, uint16_t registers[2]);
uint32_t JoinPollInterval(const uint16_t registers[2]);
