// The simulated module's registers, laid out as the KOVA register map, and
// the rules of its special registers (PLUS test register, EEPROM command).
#pragma once
#include <cstdint>
#include <cstdio>
#include <vector>

#include "transfer/register_map.h"

constexpr int kRegisterCount = 16384;

// Which kind of module the simulation is: only a PLUS module takes writes to
// its PLUS test register.
enum class SimModel { Standard, Plus };

// Outcome of a register request, mapped by each protocol onto its own codes.
enum class RegisterStatus { Ok, BadAddress, Protected };

struct RegisterImage {
    explicit RegisterImage(SimModel model = SimModel::Plus, bool eeprom = true);

    RegisterStatus Read(int first, int count, uint16_t* out) const;  // 1-based
    RegisterStatus Write(int first, int count, const uint16_t* values);
    RegisterStatus ReadInput(int first, int count, uint16_t* out) const;
    RegisterStatus WriteInput(int first, int count, const uint16_t* values);

    uint16_t& At(int reg) { return holding[reg - 1]; }

    SimModel model;
    bool eeprom;
    uint16_t eepromStatus = 0;  // what the EEPROM command leaves in its register
    FILE* log = nullptr;        // when set: "r FIRST COUNT" or "w FIRST COUNT" per request
    // Fault: a write that covers this register (0: none) leaves it one more
    // than written, as a module that changes a value after taking it would.
    int alteredRegister = 0;
    std::vector<uint16_t> holding;
    std::vector<uint16_t> input;
};
