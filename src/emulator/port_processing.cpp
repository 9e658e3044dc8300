// Acquiring and processing one port's messages, shared by the emulator and
// the simulated module.
#include "emulator/port_processing.h"

MessageOutcome ProcessPortMessage(const PortConfig& port, int portNumber, const char* accepted,
                                  ControllerRegisters& registers) {
    MessageOutcome outcome;
    outcome.text = port.Capitalize ? CapitalizeText(accepted) : std::string(accepted);
    outcome.paths = RunDataPaths(port, portNumber, outcome.text, registers);
    return outcome;
}
