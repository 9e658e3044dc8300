// One row a family of link kinds: the Sy/Max kinds, the Gateway, and Modbus
// whichever way it travels.
#include "common/request_limits.h"

namespace {

// Sy/Max: holding registers 1-16384; its input registers travel as Modbus
// function 4 (125 a request) and it has no input-register write. Gateway:
// registers up to 8192, no input registers (the link says so itself). Modbus: any 16-bit address;
// function 16 carries 127 registers in its byte count, function 21 124.
constexpr RequestLimits kSyMax{"a Sy/Max link", 16384, 65536, 128, 128, 125, 0, false};
constexpr RequestLimits kGateway{"a Gateway link", 8192, 65536, 128, 128, 0, 0, false};
constexpr RequestLimits kModbus{"a Modbus link", 65536, 65536, 125, 127, 125, 124, true};

int MaxCount(const RequestLimits& limits, RequestOp op) {
    switch (op) {
        case RequestOp::Read:
            return limits.read;
        case RequestOp::Write:
            return limits.write;
        case RequestOp::InputRead:
            return limits.inputRead;
        case RequestOp::InputWrite:
            return limits.inputWrite;
    }
    return 0;
}

}  // namespace

int MaxRequestCount(const LinkKindRow& kind, RequestOp op) {
    return MaxCount(RequestLimitsOf(kind), op);
}

int LastRegister(const LinkKindRow& kind, RequestOp op) {
    const RequestLimits& limits = RequestLimitsOf(kind);
    return op == RequestOp::InputRead || op == RequestOp::InputWrite ? limits.lastInput
                                                                     : limits.lastHolding;
}

const RequestLimits& RequestLimitsOf(const LinkKindRow& kind) {
    if (kind.setupCode == LinkTypeGateway) return kGateway;
    return kind.singleDrop ? kModbus : kSyMax;
}

const LinkKindRow* LinkKindOfSource(const LinkSource& source, std::string* error) {
    if (source.setupFile.empty()) return source.settings.kind;
    LinkSetup setup;
    if (!SetupOfLinkSource(source, &setup, error)) return nullptr;
    const LinkKindRow* kind = LinkKindOf(setup.ConnectionType);
    if (!kind) *error = source.setupFile + ": the setup file names no link";
    return kind;
}

bool RequestFits(const LinkKindRow& kind, RequestOp op, int reg, int count, std::string* error) {
    const RequestLimits& limits = RequestLimitsOf(kind);
    const int most = MaxCount(limits, op);
    const bool input = op == RequestOp::InputRead || op == RequestOp::InputWrite;
    const bool read = op == RequestOp::Read || op == RequestOp::InputRead;
    // A request the kind does not have fails on the link with its own text.
    if (most == 0) return true;
    const int last = input ? limits.lastInput : limits.lastHolding;
    if (reg < 1 || reg > last) {
        *error = "REGISTER must be 1-" + std::to_string(last) + " on " + limits.linkName +
                 ", not " + std::to_string(reg);
        return false;
    }
    if (count > most) {
        *error = std::string(read ? "COUNT" : "the values") + " must be at most " +
                 std::to_string(most) + " on " + limits.linkName + " (one request" +
                 (read ? "; use dump for more)" : ")") + ", not " + std::to_string(count);
        return false;
    }
    if (reg + count - 1 > last) {
        *error = "REGISTER " + std::to_string(reg) + " with " + std::to_string(count) +
                 " registers runs past register " + std::to_string(last) + ", the last on " +
                 limits.linkName;
        return false;
    }
    return true;
}

bool DropFits(const LinkKindRow& kind, int drop, std::string* error) {
    if (!RequestLimitsOf(kind).modbusDrop || (drop >= 1 && drop <= 247)) return true;
    *error = "the Modbus drop (slave address) must be 1-247, not " + std::to_string(drop) +
             (drop == 0 ? " (0 is broadcast, which no slave answers)" : " (reserved)");
    return false;
}
