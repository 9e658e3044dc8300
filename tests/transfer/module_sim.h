// A kova-sim started for one test, over a pty (Sy/Max, Modbus RTU or ASCII, Gateway) or on a
// loopback Modbus TCP port, with a link of this program open to it and the register tool kova-link
// to look at its registers from outside.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/sim_process.h"
#include "link/link.h"

enum class SimWire { SyMaxPty, ModbusTcp, ModbusRtuPty, ModbusAsciiPty, GatewayPty };

class ModuleSim {
  public:
    ModuleSim(SimWire wire, const std::vector<std::string>& options = {});
    ~ModuleSim();
    ModuleSim(const ModuleSim&) = delete;
    ModuleSim& operator=(const ModuleSim&) = delete;

    // The pty path or the TCP port.
    const std::string& Target() const { return target_; }
    // A link of this program to the module (opened on first use).
    Link* link();
    void CloseOurLink();
    // The module's holding registers through our link; empty on failure.
    std::vector<uint16_t> Read(int reg, int count);
    // The same as the register tool kova-link reads them (our link is closed
    // first on a pty, which one program at a time may hold).
    std::vector<uint16_t> ReadWithKovaLink(int reg, int count);
    // kova-link's command line for this module.
    std::vector<std::string> KovaLink(const std::vector<std::string>& command) const;

  private:
    SimWire wire_;
    std::unique_ptr<SimProcess> process_;
    std::string target_;  // pty path or TCP port
    LinkHandle link_;
};

const char* WireName(SimWire wire);
