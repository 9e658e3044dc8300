// The whole-module and single-port sequences of the two transfer dialogs,
// without the dialogs: the screen and the command-line tool both run these.
// Each stops at its first failure (already reported) and returns 0; what was
// moved before it stays moved. Each ends by clearing the port text.
#pragma once
#include <cstdint>

#include "config/module_config.h"
#include "setup/link_setup.h"
#include "transfer/module_session.h"

// The parts of a whole-module send in the order they are written, and where
// one stands: the part under way when it stopped (Done when all arrived).
enum class SendPart { Nothing, RackBase, Port1, Port2, Port3, Port4, PrintProgBaud, Done };

// All ports: the rack base first, then ports 1-4 with their poll queries
// ("Port n" before each), and only when all four arrived the Print/Prog baud
// change (which may ask to move this computer's port: setup). *reached, when
// given, follows the parts as they are written.
int SendAllPorts(ModuleSession& session, ModuleConfig& config, int16_t printProgBaud,
                 LinkSetup& setup, SendPart* reached = nullptr);
// One port: the port, then the Print/Prog baud change, then the rack base.
int SendOnePort(ModuleSession& session, ModuleConfig& config, int memoryPort, int modulePort,
                int16_t printProgBaud, LinkSetup& setup);

// All ports: ports 1-4 with their poll queries, then the Print/Prog baud
// rate, then the rack base.
int FetchAllPorts(ModuleSession& session, ModuleConfig& config, int16_t& printProgBaud);
// One port, then the Print/Prog baud rate, then the rack base.
int FetchOnePort(ModuleSession& session, ModuleConfig& config, int modulePort, int memoryPort,
                 int16_t& printProgBaud);
