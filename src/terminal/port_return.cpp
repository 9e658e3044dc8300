// Waiting for a vanished port to come back: one attempt about every second to
// open the same device by its name (a USB adapter plugged in again gets the
// same name, not necessarily the same place in the port list), the line set
// again from the terminal settings. Between attempts the terminal sleeps in
// its one wait on the keyboard, so waiting costs nothing but the attempts.
#include <chrono>

#include "setup/link_setup.h"
#include "setup/serial_port_list.h"
#include "setup/setup_choices.h"
#include "terminal/terminal_session.h"

long ApplyTerminalLine(const LinkSetup& c, nt_sio::SioPort* port) {
    long baud = c.TerminalBaud >= 0 && c.TerminalBaud < kSetupBaudCount
                    ? kSetupBaudValues[c.TerminalBaud]
                    : 0;
    return nt_sio::_setuart(port, baud, c.TerminalDataBits + 7, c.TerminalStopBits + 1,
                            c.TerminalParity, 0);
}

int MsUntilReopen(const TerminalSession& s) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        s.nextReopen - std::chrono::steady_clock::now());
    return left.count() < 0 ? 0 : int(left.count());
}

void TryReopenPort(TerminalSession& s) {
    if (!s.lost || s.leave || MsUntilReopen(s) > 0) return;
    s.nextReopen = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReopenIntervalMs);
    if (s.portName.empty()) return;
    nt_sio::SioPort port;
    long status = nt_sio::SioOpen(s.settings.ports.PathOf(s.portName.c_str()),
                                  nt_sio::SioAccessRead | nt_sio::SioAccessWrite, &port);
    if (status != nt_sio::SioOk) return;
    // A device that opens but refuses its settings is not usable yet.
    if (ApplyTerminalLine(s.settings.CurrentSetup, &port) != 0) {
        nt_sio::SioClose(&port);
        return;
    }
    s.port = std::move(port);
    s.lost = false;
    s.display.column = 1;
    PrintF(s, "\r\nPort \"%s\" is back.\n", s.portName.c_str());
}
