// The module commands' use of the transfer layer: the same sequences the
// dialogs run, with the command line's reporter.
#include "module_connection.h"

#include "setup/link_setup.h"
#include "transfer/identification.h"
#include "transfer/module_model.h"

ModuleConnection::ModuleConnection(const LinkSource& source, ToolReporter& reporter)
    : source_(source), reporter_(reporter) {}

ModuleConnection::~ModuleConnection() = default;

bool ModuleConnection::Open() {
    std::string reason;
    link_ = OpenLinkSource(source_, &reason);
    if (!link_) reporter_.Fail("Unable to establish link. " + reason);
    return link_ != nullptr;
}

bool ModuleConnection::Identify(ModuleIdentity* identity) {
    const Identification id = CheckIdentification(link_.get(), reporter_, "KOVA");
    if (!id.goOn) return false;
    ModuleSession session{link_.get(), reporter_, model_};
    if (!DetectModuleModel(session)) return false;
    model_ = session.model;
    identity->name = id.row == NameRow::Show ? id.name : "";
    identity->model = model_;
    return true;
}

bool ModuleConnection::Fetch(ConfigSnapshot* snapshot) {
    ModuleConfig config{};
    int16_t printProgBaud = 0;
    ModuleSession session{link_.get(), reporter_, model_};
    if (!FetchAllPorts(session, config, printProgBaud)) return false;
    model_ = session.model;
    snapshot->contents = DocumentOf(config, printProgBaud, 0);
    snapshot->model = model_;
    return true;
}

bool ModuleConnection::Send(const ConfigSnapshot& snapshot, SendPart* reached) {
    ModuleConfig config = ModuleConfigOf(snapshot.contents);
    LinkSetup setup;
    std::string reason;
    if (!SetupOfLinkSource(source_, &setup, &reason)) return reporter_.Fail(reason), false;
    ModuleSession session{link_.get(), reporter_, model_};
    const int sent = SendAllPorts(session, config, snapshot.contents.printProgBaud, setup, reached);
    model_ = session.model;
    return sent != 0;
}

// The read-back is a whole fetch: every section a whole send writes, in the
// same requests, compared as diff compares a file with the module.
bool ModuleConnection::Verify(const ConfigSnapshot& sent,
                              std::vector<ConfigDifference>* differences) {
    ConfigSnapshot back;
    if (!Fetch(&back)) return false;
    *differences = CompareConfigs(sent.contents, back.contents, model_ == kModelPlus);
    return true;
}

EepromOutcome ModuleConnection::WriteEeprom() {
    const EepromResult result = RunEepromWrite(link_.get());
    if (result.outcome != EepromOutcome::Stored) reporter_.Fail(result.Message());
    return result.outcome;
}
