// The module commands' use of the transfer layer: the same sequences the
// dialogs run, with the command line's reporter.
#include "module_connection.h"

#include "setup/link_setup.h"
#include "transfer/identification.h"
#include "transfer/module_model.h"

ModuleConnection::ModuleConnection(const LinkSource& source, ToolReporter& reporter)
    : source_(source), reporter_(reporter), session_(nullptr, reporter) {}

ModuleConnection::~ModuleConnection() = default;

bool ModuleConnection::Open() {
    std::string reason;
    link_ = OpenLinkSource(source_, &reason);
    if (!link_) reporter_.Fail("Unable to establish link. " + reason);
    session_.link = link_.get();
    return link_ != nullptr;
}

bool ModuleConnection::Identify(ModuleIdentity* identity) {
    const Identification id = CheckIdentification(session_, "KOVA");
    if (!id.goOn) return false;
    if (!DetectModuleModel(session_)) return false;
    identity->name = id.row == NameRow::Show ? id.name : "";
    identity->model = session_.model;
    return true;
}

bool ModuleConnection::Fetch(ConfigSnapshot* snapshot) {
    ModuleConfig config{};
    int16_t printProgBaud = 0;
    if (!FetchAllPorts(session_, config, printProgBaud)) return false;
    snapshot->contents = DocumentOf(config, printProgBaud, 0);
    snapshot->model = session_.model;
    return true;
}

bool ModuleConnection::Send(const ConfigSnapshot& snapshot, SendPart* reached) {
    ModuleConfig config = ModuleConfigOf(snapshot.contents);
    LinkSetup setup;
    std::string reason;
    if (!SetupOfLinkSource(source_, &setup, &reason)) return reporter_.Fail(reason), false;
    return SendAllPorts(session_, config, snapshot.contents.printProgBaud, setup, reached) != 0;
}

// The read-back is a whole fetch: every section a whole send writes, in the
// same requests, compared as diff compares a file with the module.
bool ModuleConnection::Verify(const ConfigSnapshot& sent,
                              std::vector<ConfigDifference>* differences) {
    ConfigSnapshot back;
    if (!Fetch(&back)) return false;
    *differences = CompareConfigs(sent.contents, back.contents, session_.model == kModelPlus);
    return true;
}

EepromOutcome ModuleConnection::WriteEeprom() {
    const EepromResult result = RunEepromWrite(session_);
    if (result.outcome != EepromOutcome::Stored) reporter_.Fail(result.Message());
    return result.outcome;
}
