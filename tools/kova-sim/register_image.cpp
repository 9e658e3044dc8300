// The register image: zero apart from the identification block.
#include "register_image.h"

#include <cstring>

namespace {

bool InRange(int first, int count) {
    return first >= 1 && count >= 0 && first + count - 1 <= kRegisterCount;
}

bool Covers(int first, int count, int reg) { return reg >= first && reg < first + count; }

}  // namespace

RegisterImage::RegisterImage(SimModel m, bool withEeprom)
    : model(m), eeprom(withEeprom), holding(kRegisterCount), input(kRegisterCount) {
    const char name[21] = "KOVA                ";
    for (int i = 0; i < 10; ++i)
        At(kDeviceNameRegister + i) =
            static_cast<uint16_t>(uint8_t(name[2 * i]) << 8 | uint8_t(name[2 * i + 1]));
    At(kPortInformationRegister) = 0x8001;  // reports its port number, port 1
    At(kIdentMarkerRegister) = kIdentMarkerValue;
}

RegisterStatus RegisterImage::Read(int first, int count, uint16_t* out) const {
    if (log) fprintf(log, "r %d %d\n", first, count);
    if (!InRange(first, count)) return RegisterStatus::BadAddress;
    std::memcpy(out, &holding[first - 1], size_t(count) * 2);
    return RegisterStatus::Ok;
}

RegisterStatus RegisterImage::Write(int first, int count, const uint16_t* values) {
    if (log) fprintf(log, "w %d %d\n", first, count);
    if (!InRange(first, count)) return RegisterStatus::BadAddress;
    // The standard model has no PLUS registers: its test register refuses writes.
    if (model == SimModel::Standard && Covers(first, count, kPlusTestRegister))
        return RegisterStatus::Protected;
    std::memcpy(&holding[first - 1], values, size_t(count) * 2);
    if (alteredRegister && Covers(first, count, alteredRegister)) ++At(alteredRegister);
    if (Covers(first, count, kEepromCommandRegister) &&
        At(kEepromCommandRegister) == kEepromWriteCommand && eeprom)
        At(kEepromCommandRegister) = eepromStatus;  // the set-up is stored at once
    return RegisterStatus::Ok;
}

RegisterStatus RegisterImage::ReadInput(int first, int count, uint16_t* out) const {
    if (!InRange(first, count)) return RegisterStatus::BadAddress;
    std::memcpy(out, &input[first - 1], size_t(count) * 2);
    return RegisterStatus::Ok;
}

RegisterStatus RegisterImage::WriteInput(int first, int count, const uint16_t* values) {
    if (!InRange(first, count)) return RegisterStatus::BadAddress;
    std::memcpy(&input[first - 1], values, size_t(count) * 2);
    return RegisterStatus::Ok;
}
