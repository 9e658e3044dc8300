// The baud change and the question that follows it.
#include "transfer/print_prog_baud.h"

#include <cstdio>

#include "config/config_lists.h"
#include "config/config_ranges.h"
#include "setup/setup_choices.h"
#include "transfer/module_registers.h"
#include "transfer/register_map.h"

namespace {

// Line settings of a link re-applied after a baud change.
constexpr int kBaudChangeReplyTimeout = 500;
constexpr int kBaudChangeDataBits = 8;

int WriteBaud(Link* link, TransferReporter& reporter, int16_t printProgBaud) {
    const uint16_t value = static_cast<uint16_t>(printProgBaud);
    return WriteModuleRegistersOnce(link, reporter, kPrintProgBaudRegister, 1, &value);
}

int16_t LinkBaudIndexOf(int32_t baud) { return int16_t(SetupBaudIndexOf(baud)); }

}  // namespace

int SendPrintProgBaud(Link* link, TransferReporter& reporter, int16_t printProgBaud,
                      LinkSetup& setup) {
    // A rate outside the list would cut the module off its programming port.
    if (auto fault = PrintProgBaudOutOfRange(printProgBaud)) {
        reporter.Error(fault->c_str());
        return 0;
    }
    if (!WriteBaud(link, reporter, printProgBaud)) return 0;
    // Only a serial line of this computer can follow the module's rate.
    if (!LinkRunsThroughPrintProgPort(link)) return 1;
    const int32_t moduleBaud = kPrintProgBaudValues[printProgBaud];
    if (moduleBaud == LinkBaudRate(setup)) return 1;
    char question[80];
    snprintf(question, sizeof question, "KOVA now at %d baud. Change computer port to match?",
             int(moduleBaud));
    if (reporter.Confirm(question)) {
        setup.LinkBaud = LinkBaudIndexOf(moduleBaud);
        if (LinkIsValid(link) &&
            !SetSerialParameters(link, moduleBaud, setup.LinkParity, setup.LinkStopBits + 1,
                                 kBaudChangeReplyTimeout, kBaudChangeDataBits)) {
            reporter.Error(LinkErrorText(link));
            return 0;
        }
    }
    return WriteBaud(link, reporter, printProgBaud);
}

bool LinkRunsThroughPrintProgPort(const Link* link) {
    return LinkIsValid(link) && KindOfLink(link) != LinkModbusTcp;
}

bool ConfirmPrintProgBaudChange(const Link* link, TransferReporter& reporter, int16_t printProgBaud,
                                const LinkSetup& setup) {
    if (PrintProgBaudOutOfRange(printProgBaud) || !LinkRunsThroughPrintProgPort(link)) return true;
    const int32_t moduleBaud = kPrintProgBaudValues[printProgBaud];
    if (moduleBaud == LinkBaudRate(setup)) return true;
    char question[80];
    snprintf(question, sizeof question,
             "Link runs via Print/Prog port: at %d baud KOVA stops answering. Write?",
             int(moduleBaud));
    return reporter.Confirm(question);
}
