// Register access with the transfers' failure report and their one retry.
#include "transfer/module_registers.h"

#include <algorithm>
#include <iterator>

namespace {

// The failures of requests the line may have spoiled: a reply that never
// came, came damaged, or answers something else (wrong drop, opcode, size,
// route or transaction).
constexpr LinkFailure kRetriedFailures[] = {
    LinkFailure::NoReply,
    LinkFailure::DamagedReply,
    LinkFailure::StrayReply,
};

int ReadOnce(Link* link, int reg, int count, uint16_t* values) {
    for (int i = 0; i < count; ++i) values[i] = 0;
    int n = RegisterRead(link, reg, count, values);
    if (n <= 0) return 0;
    // A Sy/Max reply may carry fewer registers than were asked for.
    if (n < count) {
        SetLinkError(link, LinkFailure::StrayReply, "Read reply too short");
        return 0;
    }
    return 1;
}

int WriteOnce(Link* link, int reg, int count, const uint16_t* values) {
    return RegisterWrite(link, reg, count, values) > 0;
}

// One request and, when the line may have spoiled it, one more. The link
// lets a late reply to the first go by before the second is sent.
template <typename Request>
int WithRetry(Link* link, TransferReporter* reporter, Request request) {
    if (request()) return 1;
    if (!FailureWorthRetrying(LinkFailureOf(link))) return 0;
    if (reporter) reporter->Retried();
    return request();
}

}  // namespace

bool FailureWorthRetrying(LinkFailure failure) {
    return std::find(std::begin(kRetriedFailures), std::end(kRetriedFailures), failure) !=
           std::end(kRetriedFailures);
}

int ReadRegistersQuietly(Link* link, int reg, int count, uint16_t* values, Tries tries) {
    if (tries == Tries::Once) return ReadOnce(link, reg, count, values);
    return WithRetry(link, nullptr, [&] { return ReadOnce(link, reg, count, values); });
}

int WriteRegistersQuietly(Link* link, int reg, int count, const uint16_t* values, Tries tries) {
    if (tries == Tries::Once) return WriteOnce(link, reg, count, values);
    return WithRetry(link, nullptr, [&] { return WriteOnce(link, reg, count, values); });
}

int ReadModuleRegisters(Link* link, TransferReporter& reporter, int reg, int count,
                        uint16_t* values) {
    if (WithRetry(link, &reporter, [&] { return ReadOnce(link, reg, count, values); })) return 1;
    reporter.Error(LinkErrorText(link));
    return 0;
}

int WriteModuleRegisters(Link* link, TransferReporter& reporter, int reg, int count,
                         const uint16_t* values) {
    if (WithRetry(link, &reporter, [&] { return WriteOnce(link, reg, count, values); })) return 1;
    reporter.Error(LinkErrorText(link));
    return 0;
}

int WriteModuleRegistersOnce(Link* link, TransferReporter& reporter, int reg, int count,
                             const uint16_t* values) {
    if (WriteOnce(link, reg, count, values)) return 1;
    reporter.Error(LinkErrorText(link));
    return 0;
}
