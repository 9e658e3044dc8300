// The public face of a link: validity, error text, options, the checks every
// register operation makes, and the dispatch to the protocol of the link kind.
#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "link/link_backend.h"
#include "link/link_lifecycle.h"
#include "link/link_state.h"

namespace {

constexpr int kMaxSyMaxRegister = 0x4000;
constexpr int kMaxCount = 128;
// A Modbus read (function 3 or 4, also carried over Sy/Max) answers at most
// 125 registers: 250 data bytes fill its reply.
constexpr int kMaxModbusReadCount = 125;
// Kinds 1 to 4 are the Sy/Max family (3 and 4 are reserved and never
// opened): their holding registers are the controller's, 1 to 16384.
constexpr uint32_t kLastSyMaxFamilyKind = 4;

enum class Operation { Read, Write, InputRead, InputWrite };

bool IsRead(Operation op) { return op == Operation::Read || op == Operation::InputRead; }

// The most registers one request of the operation carries on the link: a
// Sy/Max or Gateway read takes 128, a Modbus read 125.
int MaxCount(const Link* link, Operation op) {
    const bool modbusFraming =
        link->kind == LinkModbusRtu || link->kind == LinkModbusAscii || link->kind == LinkModbusTcp;
    const bool modbusRead = op == Operation::InputRead || (op == Operation::Read && modbusFraming);
    return modbusRead && link->kind != LinkGateway ? kMaxModbusReadCount : kMaxCount;
}

// Returns false, with the error text set where the rules give one, when the
// request must not reach the protocol.
bool CheckRequest(Link* link, Operation op, int reg, int count) {
    bool holding = op == Operation::Read || op == Operation::Write;
    if (holding && link->kind <= kLastSyMaxFamilyKind &&
        (reg < 1 || reg + count - 1 > kMaxSyMaxRegister)) {
        SetLinkError(link, LinkFailure::NotPossible,
                     IsRead(op) ? "Illegal read register" : "Illegal write register");
        return false;
    }
    if (count < 1 || count > MaxCount(link, op)) {
        SetLinkError(link, LinkFailure::NotPossible,
                     IsRead(op) ? "Illegal read count" : "Illegal write count");
        return false;
    }
    // The reserved kinds 3 and 4 have no protocol: refused, nothing sent.
    return link->backend != nullptr;
}

int DefaultIdle(void*) { return 1; }

// An operation the link kind has no request for fails with its own text,
// never with whatever an earlier failure left.
int Unsupported(Link* link, Operation op) {
    const LinkBackend* backend = link->backend;
    const char* kind = link->netToNet ? "Net-to-Net" : backend->name;
    switch (op) {
        case Operation::InputRead:
            SetLinkError(link, LinkFailure::NotPossible,
                         "Input registers are not supported on a %s link", kind);
            break;
        case Operation::InputWrite:
            SetLinkError(link, LinkFailure::NotPossible,
                         "Input register writes are not supported on a %s link", kind);
            break;
        default:
            SetLinkError(link, LinkFailure::NotPossible, "Not supported on a %s link", kind);
    }
    return 0;
}

}  // namespace

bool LinkIsValid(const Link* link) { return link != nullptr; }

void SetLinkError(Link* link, LinkFailure failure, const char* format, ...) {
    char text[kLinkErrorSize];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    std::lock_guard<std::recursive_mutex> guard(link->lock);
    snprintf(link->errorText, sizeof link->errorText, "%s", text);
    link->failure = failure;
}

int RegisterRead(Link* link, int reg, int count, uint16_t* values) {
    if (!LinkIsValid(link) || !CheckRequest(link, Operation::Read, reg, count)) return 0;
    auto op = link->backend->read;
    return op ? op(link, reg, count, values) : Unsupported(link, Operation::Read);
}

int RegisterWrite(Link* link, int reg, int count, const uint16_t* values) {
    if (!LinkIsValid(link) || !CheckRequest(link, Operation::Write, reg, count)) return 0;
    auto op = link->backend->write;
    return op ? op(link, reg, count, values) : Unsupported(link, Operation::Write);
}

int InputRegisterRead(Link* link, int reg, int count, uint16_t* values) {
    if (!LinkIsValid(link) || !CheckRequest(link, Operation::InputRead, reg, count)) return 0;
    auto op = link->backend->inputRead;
    return op ? op(link, reg, count, values) : Unsupported(link, Operation::InputRead);
}

int InputRegisterWrite(Link* link, int reg, int count, const uint16_t* values) {
    if (!LinkIsValid(link) || !CheckRequest(link, Operation::InputWrite, reg, count)) return 0;
    auto op = link->backend->inputWrite;
    return op ? op(link, reg, count, values) : Unsupported(link, Operation::InputWrite);
}

const char* LinkErrorText(Link* link) {
    if (!LinkIsValid(link)) return "Handle not valid";
    return link->errorText;
}

LinkKind KindOfLink(const Link* link) { return static_cast<LinkKind>(link->kind); }

LinkFailure LinkFailureOf(Link* link) {
    if (!LinkIsValid(link)) return LinkFailure::NoLink;
    std::lock_guard<std::recursive_mutex> guard(link->lock);
    return link->failure;
}

int SetLinkIdleCallback(Link* link, LinkIdleCallback callback, void* argument) {
    if (!LinkIsValid(link)) return 0;
    std::lock_guard<std::recursive_mutex> guard(link->lock);
    link->idleCallback = callback ? callback : DefaultIdle;
    link->idleArgument = argument;
    return 1;
}

Link* CreateLink(uint32_t kind) {
    Link* link = new Link;
    link->kind = kind;
    link->backend = FindLinkBackend(kind);
    if (link->backend && link->backend->newState) link->protocol = link->backend->newState();
    if (link->backend && link->backend->receiveByte)
        link->framing = std::make_unique<SerialFraming>();
    link->idleCallback = DefaultIdle;
    return link;
}

void DestroyLink(Link* link) { delete link; }

// The packets still in the queues and the framing end with the link.
Link::~Link() { ReturnHeldPackets(this); }

// The one place a link ends: its handle's closer, so no code can close a
// link twice or forget one.
void LinkCloser::operator()(Link* link) const {
    if (!LinkIsValid(link)) return;
    LetLateReplyGoByBeforeClose(link);  // while the reader still drops what comes
    StopReaderThread(link);
    if (link->kind == LinkSyMax) NoteTransactionCounterAtClose(link->transactionCounter);
    const LinkBackend* backend = link->backend;
    if (backend && backend->close) backend->close(link);
    DestroyLink(link);
}
