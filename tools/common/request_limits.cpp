// The checks of a request against the limits of its link kind's row.
#include "common/request_limits.h"

namespace {

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

const RequestLimits& RequestLimitsOf(const LinkKindRow& kind) { return kind.requests; }

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
