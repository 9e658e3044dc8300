// Starting kova-sim, opening our link and reading registers with kova-link.
#include "module_sim.h"

#include <sstream>

namespace {

bool OnPty(SimWire wire) { return wire != SimWire::ModbusTcp; }

// kova-sim's --protocol and kova-link's --type for a wire.
const char* ProtocolOf(SimWire wire) {
    switch (wire) {
        case SimWire::SyMaxPty:
            return "symax";
        case SimWire::ModbusRtuPty:
            return "rtu";
        case SimWire::ModbusAsciiPty:
            return "ascii";
        case SimWire::GatewayPty:
            return "gateway";
        case SimWire::ModbusTcp:
            break;
    }
    return "tcp";
}

LinkHandle OpenPtyLink(SimWire wire, const char* path) {
    if (wire == SimWire::ModbusRtuPty) return OpenModbusRtuLink(path, 1);
    if (wire == SimWire::ModbusAsciiPty) return OpenModbusAsciiLink(path, 1);
    LinkRoute route;
    route.count = 1;
    route.entries[0] = 1;
    if (wire == SimWire::GatewayPty) return OpenGatewayLink(path, route);
    return OpenSyMaxLink(path, 0, route);
}

}  // namespace

ModuleSim::ModuleSim(SimWire wire, const std::vector<std::string>& options) : wire_(wire) {
    std::vector<std::string> argv{"--protocol", ProtocolOf(wire)};
    if (!OnPty(wire)) argv.insert(argv.end(), {"--listen", "127.0.0.1:0"});
    argv.insert(argv.end(), options.begin(), options.end());
    process_ = std::make_unique<SimProcess>(argv);
    target_ = process_->Where();
}

ModuleSim::~ModuleSim() { CloseOurLink(); }

Link* ModuleSim::link() {
    if (link_) return link_.get();
    if (OnPty(wire_))
        link_ = OpenPtyLink(wire_, target_.c_str());
    else
        link_ = OpenModbusTcpLink("127.0.0.1", std::stoi(target_), 1);
    if (link_) SetSerialParameters(link_.get(), 9600, 1, 1, 100, 8);
    return link_.get();
}

void ModuleSim::CloseOurLink() { link_.reset(); }

std::vector<std::string> ModuleSim::KovaLink(const std::vector<std::string>& command) const {
    std::vector<std::string> argv{BuildProgram("kova-link")};
    if (OnPty(wire_))
        argv.insert(argv.end(), {"--type", ProtocolOf(wire_), "--port", target_});
    else
        argv.insert(argv.end(), {"--type", "tcp", "--host", "127.0.0.1", "--tcp-port", target_});
    argv.insert(argv.end(), command.begin(), command.end());
    return argv;
}

std::vector<uint16_t> ModuleSim::Read(int reg, int count) {
    std::vector<uint16_t> values(static_cast<size_t>(count));
    for (int done = 0; done < count;) {
        int n = std::min(100, count - done);
        if (RegisterRead(link(), reg + done, n, &values[size_t(done)]) <= 0) return {};
        done += n;
    }
    return values;
}

std::vector<uint16_t> ModuleSim::ReadWithKovaLink(int reg, int count) {
    if (OnPty(wire_)) CloseOurLink();
    RunResult r = RunProgram(KovaLink({"dump", std::to_string(reg), std::to_string(count)}));
    if (r.status != 0) return {};
    std::vector<uint16_t> values;
    std::istringstream in(r.out);
    unsigned v;
    while (in >> v) values.push_back(uint16_t(v));
    if (int(values.size()) != count) return {};
    return values;
}

const char* WireName(SimWire wire) {
    switch (wire) {
        case SimWire::SyMaxPty:
            return "Sy/Max pty";
        case SimWire::ModbusRtuPty:
            return "Modbus RTU pty";
        case SimWire::ModbusAsciiPty:
            return "Modbus ASCII pty";
        case SimWire::GatewayPty:
            return "Gateway pty";
        case SimWire::ModbusTcp:
            break;
    }
    return "Modbus TCP";
}
