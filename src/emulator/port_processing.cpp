// Acquiring and processing one port's messages, shared by the emulator and
// the simulated module.
#include "emulator/port_processing.h"

CharacterResult TakeCharacter(MessageTexts& texts, const PortConfig& port, uint16_t terminateCount,
                              uint8_t c) {
    CharacterResult result;
    result.terminator = AcquireCharacter(texts, port, c);
    result.empty = result.terminator && texts.AcceptedEmpty();
    // An empty message is dropped, so it never reaches its count either.
    result.countReached = !result.empty && CountReached(texts, terminateCount);
    return result;
}

MessageOutcome ProcessPortMessage(const PortConfig& port, int portNumber, const char* accepted,
                                  ControllerRegisters& registers) {
    MessageOutcome outcome;
    outcome.text = port.Capitalize ? CapitalizeText(accepted) : std::string(accepted);
    outcome.paths = RunDataPaths(port, portNumber, outcome.text, registers);
    return outcome;
}
