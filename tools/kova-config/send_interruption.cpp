// The part of a send under way, from the port texts: "Port N" starts port N,
// so the rack base, written first, and the ports before it are done. The
// Print/Prog baud rate follows port 4 without a port text of its own, so
// port 4 stays "partly" until the send has ended: what is said to be sent
// was sent, and what may not have been is never said to be.
#include "send_interruption.h"

#include <algorithm>
#include <vector>

namespace {

std::string PortsText(int first, int last) {
    if (first == last) return "port " + std::to_string(first);
    return "ports " + std::to_string(first) + "-" + std::to_string(last);
}

// "the rack base and ports 1-2", "ports 3-4 and the Print/Prog baud rate"
std::string ListText(const std::vector<std::string>& names) {
    std::string text;
    for (size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    return text;
}

}  // namespace

std::string SendInterruptedText(int portUnderWay) {
    if (portUnderWay < 1) return "interrupted: nothing sent";
    std::vector<std::string> sent = {"the rack base"}, notSent;
    if (portUnderWay > 1) sent.push_back(PortsText(1, portUnderWay - 1));
    if (portUnderWay < 4) notSent.push_back(PortsText(portUnderWay + 1, 4));
    notSent.push_back("the Print/Prog baud rate");
    return "interrupted: " + ListText(sent) + " sent, port " + std::to_string(portUnderWay) +
           " partly, " + ListText(notSent) + " not";
}

SendInterruption::SendInterruption(ToolReporter& reporter, ProgressLine& progress)
    : reporter_(reporter), report_([this, &progress](int) {
          progress.Message("kova-config: " + SendInterruptedText(portUnderWay_.load()));
      }) {
    reporter.WatchPorts([this](const std::string& port) {
        // The port text is cleared when the send ends, sent or failed.
        if (port.rfind("Port ", 0) == 0) portUnderWay_ = std::stoi(port.substr(5));
    });
}
