// SendPort and FetchPort: one table of steps with their progress texts drives
// both directions.
#include "transfer/port_transfer.h"

#include <cstdio>

#include "transfer/module_model.h"
#include "transfer/section_transfer.h"

namespace {

bool InPortRange(int port) { return port >= 1 && port <= 4; }

struct PortStep {
    const char* name;  // after "Send " or "Fetch "
    int (*send)(ModuleSession&, PortConfig&, int modulePort);
    int (*fetch)(ModuleSession&, PortConfig&, int modulePort);
};

template <int Path>
int SendPathStep(ModuleSession& s, PortConfig& p, int port) {
    return SendPath(s, p, port, Path);
}
template <int Path>
int FetchPathStep(ModuleSession& s, PortConfig& p, int port) {
    return FetchPath(s, p, port, Path);
}

// clang-format off
const PortStep kPortSteps[] = {
    {"Comms",
     [](ModuleSession& s, PortConfig& p, int port) { return SendComms(s, p, port); },
     [](ModuleSession& s, PortConfig& p, int port) { return FetchComms(s, p, port); }},
    {"Accept",
     [](ModuleSession& s, PortConfig& p, int port) {
         return SendCharSet(s, p, port, CharSetKind::Accept); },
     [](ModuleSession& s, PortConfig& p, int port) {
         return FetchCharSet(s, p, port, CharSetKind::Accept); }},
    {"Term",
     [](ModuleSession& s, PortConfig& p, int port) {
         return SendCharSet(s, p, port, CharSetKind::Terminate); },
     [](ModuleSession& s, PortConfig& p, int port) {
         return FetchCharSet(s, p, port, CharSetKind::Terminate); }},
    {"path 1", SendPathStep<1>, FetchPathStep<1>},
    {"path 2", SendPathStep<2>, FetchPathStep<2>},
    {"path 3", SendPathStep<3>, FetchPathStep<3>},
    {"path 4", SendPathStep<4>, FetchPathStep<4>},
};
// clang-format on

constexpr int kPollQueries = 16;

void ShowStep(TransferReporter& reporter, bool send, const char* name) {
    char text[32];
    snprintf(text, sizeof text, "%s %s", send ? "Send" : "Fetch", name);
    reporter.Step(text);
}

// The steps after the PLUS test and the range checks.
int MovePort(ModuleSession& session, ModuleConfig& config, int memoryPort, int modulePort,
             bool withPolls, bool send) {
    TransferReporter& reporter = session.Reports();
    PortConfig& port = config.Ports[memoryPort - 1];
    for (const PortStep& step : kPortSteps) {
        ShowStep(reporter, send, step.name);
        if (!(send ? step.send : step.fetch)(session, port, modulePort)) return 0;
    }
    for (int q = 1; withPolls && q <= kPollQueries; ++q) {
        char name[16];
        snprintf(name, sizeof name, "poll %d", q);
        ShowStep(reporter, send, name);
        int ok = send ? SendPoll(session, port, modulePort, q, q == 1)
                      : FetchPoll(session, port, modulePort, q, q == 1);
        if (!ok) return 0;
    }
    if (session.model != kModelPlus) return 1;
    return send ? SendPlusValues(session, config.Plus, memoryPort, modulePort)
                : FetchPlusValues(session, config.Plus, memoryPort, modulePort);
}

}  // namespace

int SendPort(ModuleSession& session, ModuleConfig& config, int memoryPort, int modulePort,
             bool withPolls) {
    if (!DetectModuleModel(session)) return 0;
    TransferReporter& reporter = session.Reports();
    if (!InPortRange(memoryPort)) {
        reporter.Error("Attempt to send from memory out of range.");
        return 0;
    }
    if (!InPortRange(modulePort)) {
        reporter.Error("Attempt to send to port out of range.");
        return 0;
    }
    return MovePort(session, config, memoryPort, modulePort, withPolls, true);
}

int FetchPort(ModuleSession& session, ModuleConfig& config, int modulePort, int memoryPort,
              bool withPolls) {
    if (!DetectModuleModel(session)) return 0;
    TransferReporter& reporter = session.Reports();
    if (!InPortRange(modulePort)) {
        reporter.Error("Attempt to fetch port out of range.");
        return 0;
    }
    if (!InPortRange(memoryPort)) {
        reporter.Error("Attempt to fetch to memory out of range.");
        return 0;
    }
    return MovePort(session, config, memoryPort, modulePort, withPolls, false);
}
