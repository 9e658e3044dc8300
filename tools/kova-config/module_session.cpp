// The module commands' use of the transfer layer: the same sequences the
// dialogs run, with the command line's reporter.
#include "module_session.h"

#include "setup/link_setup.h"
#include "transfer/identification.h"
#include "transfer/module_model.h"
#include "transfer/module_transfer.h"

ModuleSession::ModuleSession(const LinkSource& source, ToolReporter& reporter)
    : source_(source), reporter_(reporter) {}

ModuleSession::~ModuleSession() {
    if (link_) CloseLink(link_);
}

bool ModuleSession::Open() {
    std::string reason;
    link_ = OpenLinkSource(source_, &reason);
    if (!link_) reporter_.Fail("Unable to establish link. " + reason);
    return link_ != nullptr;
}

bool ModuleSession::Identify(ModuleIdentity* identity) {
    const Identification id = CheckIdentification(link_, reporter_, "KOVA");
    if (!id.goOn) return false;
    if (!DetectModuleModel(link_, reporter_)) return false;
    identity->name = id.row == NameRow::Show ? id.name : "";
    identity->model = ModuleModel;
    return true;
}

bool ModuleSession::Fetch(ConfigSnapshot* snapshot) {
    ModuleConfig config{};
    int16_t printProgBaud = 0;
    if (!FetchAllPorts(link_, reporter_, config, printProgBaud)) return false;
    snapshot->contents = DocumentOf(config, printProgBaud, 0);
    snapshot->model = ModuleModel;
    return true;
}

bool ModuleSession::Send(const ConfigSnapshot& snapshot) {
    ModuleConfig config = ModuleConfigOf(snapshot.contents);
    LinkSetup setup;
    std::string reason;
    if (!SetupOfLinkSource(source_, &setup, &reason)) return reporter_.Fail(reason), false;
    return SendAllPorts(link_, reporter_, config, snapshot.contents.printProgBaud, setup) != 0;
}

EepromOutcome ModuleSession::WriteEeprom() {
    const EepromResult result = RunEepromWrite(link_);
    if (result.outcome != EepromOutcome::Stored) reporter_.Fail(result.Message());
    return result.outcome;
}
