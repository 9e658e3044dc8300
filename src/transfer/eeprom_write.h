// The command that makes the module store its current set-up in its EEPROM:
// 0xC5C5 written to 8174, then 8174 read back (0 done, 0xC5C5 no EEPROM).
#pragma once
#include <cstdint>
#include <string>

#include "transfer/module_session.h"

enum class EepromOutcome { Stored, WriteFailed, ReadFailed, NoEeprom, Unexpected };

struct EepromResult {
    EepromOutcome outcome = EepromOutcome::Stored;
    uint16_t status = 0;  // what 8174 read back
    // "" when stored; otherwise the message to show.
    std::string Message() const;
    // The last two are shown in the error window even when errors are not
    // trapped (the screen uses its error box for them).
    bool AlwaysShown() const {
        return outcome == EepromOutcome::NoEeprom || outcome == EepromOutcome::Unexpected;
    }
};

// Reports nothing: the result says what happened.
EepromResult RunEepromWrite(const ModuleSession& session);
