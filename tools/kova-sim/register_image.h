// The simulated module's registers, laid out as the KOVA register map, and
// the rules of its special registers (PLUS test register, EEPROM command).
#pragma once
#include <cstdint>
#include <vector>

constexpr int kRegisterCount = 16384;

enum class ModuleModel { Standard, Plus };

// Outcome of a register request, mapped by each protocol onto its own codes.
enum class RegisterStatus { Ok, BadAddress, Protected };

struct RegisterImage {
    explicit RegisterImage(ModuleModel model = ModuleModel::Plus, bool eeprom = true);

    RegisterStatus Read(int first, int count, uint16_t* out) const;  // 1-based
    RegisterStatus Write(int first, int count, const uint16_t* values);
    RegisterStatus ReadInput(int first, int count, uint16_t* out) const;
    RegisterStatus WriteInput(int first, int count, const uint16_t* values);

    uint16_t& At(int reg) { return holding[reg - 1]; }

    ModuleModel model;
    bool eeprom;
    std::vector<uint16_t> holding;
    std::vector<uint16_t> input;
};

// Register numbers of the module map that the simulation gives meaning to.
constexpr int kPlusTestRegister = 7423;
constexpr int kEepromCommand = 8174;
constexpr int kPortInformation = 8176;
constexpr int kDeviceName = 8177;
constexpr int kCtsStatus = 8187;
constexpr int kIdentMarker = 8188;
constexpr uint16_t kIdentMarkerValue = 0x9990;
constexpr uint16_t kEepromWriteCommand = 0xC5C5;
