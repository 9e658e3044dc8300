// The EEPROM command and its read-back.
#include "transfer/eeprom_write.h"

#include <cstdio>

#include "transfer/module_registers.h"
#include "transfer/register_map.h"

std::string EepromResult::Message() const {
    switch (outcome) {
        case EepromOutcome::Stored:
            return "";
        case EepromOutcome::WriteFailed:
            return "Unable to write 8174";
        case EepromOutcome::ReadFailed:
            return "Unable to read 8174";
        case EepromOutcome::NoEeprom:
            return "Module not equipped with EEPROM";
        case EepromOutcome::Unexpected:
            break;
    }
    char text[32];
    snprintf(text, sizeof text, "Unexpected result $%04X", unsigned(status));
    return text;
}

EepromResult RunEepromWrite(const ModuleSession& session) {
    Link* link = session.link;
    EepromResult result;
    const uint16_t command = kEepromWriteCommand;
    if (RegisterWrite(link, kEepromCommandRegister, 1, &command) <= 0) {
        result.outcome = EepromOutcome::WriteFailed;
        return result;
    }
    if (!ReadRegistersQuietly(link, kEepromCommandRegister, 1, &result.status)) {
        result.outcome = EepromOutcome::ReadFailed;
        return result;
    }
    if (result.status == kEepromWriteCommand)
        result.outcome = EepromOutcome::NoEeprom;
    else if (result.status != 0)
        result.outcome = EepromOutcome::Unexpected;
    return result;
}
