// One conversation with a module: the link it goes over, where its reports
// go, and the model the module turned out to be. Every transfer takes one, so
// what one module answered never becomes another's (kova-config backs up
// several modules at once, each on a thread of its own), and what a transfer
// learnt is there for the next one without asking the module again.
//
// A session is kept for as long as the contact with its module lasts (the
// shell's whole run, a kova-config connection); the reports of each transfer
// may go somewhere else (the screen's reporter lives for one dialog), so they
// are attached for the transfer with SessionReports.
#pragma once
#include <cstdint>

#include "config/module_config.h"
#include "link/link.h"
#include "transfer/transfer_reporter.h"

struct ModuleSession {
    // A session that reports nowhere until SessionReports attaches a
    // reporter, and has no link until it is given one.
    ModuleSession() : reporter(&SilentReports()) {}
    ModuleSession(Link* to, TransferReporter& reports, int16_t knownModel = kModelUnknown)
        : link(to), reporter(&reports), model(knownModel) {}

    TransferReporter& Reports() const { return *reporter; }

    Link* link = nullptr;
    TransferReporter* reporter;  // never null
    // kModelStandard, kModelPlus, or kModelUnknown until a port transfer
    // has asked the module.
    int16_t model = kModelUnknown;
};

// Attaches a reporter to a session for one transfer; the session reports
// where it did before once this ends.
class SessionReports {
  public:
    SessionReports(ModuleSession& session, TransferReporter& reporter)
        : session_(session), before_(session.reporter) {
        session.reporter = &reporter;
    }
    ~SessionReports() { session_.reporter = before_; }
    SessionReports(const SessionReports&) = delete;
    SessionReports& operator=(const SessionReports&) = delete;

  private:
    ModuleSession& session_;
    TransferReporter* before_;
};
