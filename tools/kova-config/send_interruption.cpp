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

int PortOf(SendPart part) { return int(part) - int(SendPart::Port1) + 1; }
bool IsPort(SendPart part) { return part >= SendPart::Port1 && part <= SendPart::Port4; }

// The names of the parts from first up to (not including) end, the ports
// among them as one range.
std::vector<std::string> PartNames(SendPart first, SendPart end) {
    std::vector<std::string> names;
    int firstPort = 0, lastPort = 0;
    for (int i = int(first); i < int(end); ++i) {
        const SendPart part = SendPart(i);
        if (IsPort(part)) {
            if (!firstPort) firstPort = PortOf(part);
            lastPort = PortOf(part);
            continue;
        }
        if (firstPort) names.push_back(PortsText(firstPort, lastPort));
        firstPort = 0;
        if (part == SendPart::RackBase) names.push_back("the rack base");
        if (part == SendPart::PrintProgBaud) names.push_back("the Print/Prog baud rate");
    }
    if (firstPort) names.push_back(PortsText(firstPort, lastPort));
    return names;
}

// "Send path 2" -> "Path 2"
std::string StepPlace(const std::string& step) {
    std::string place = step.rfind("Send ", 0) == 0 ? step.substr(5) : step;
    if (!place.empty() && place[0] >= 'a' && place[0] <= 'z') place[0] = char(place[0] - 32);
    return place;
}

}  // namespace

std::string SendStandText(SendPart underWay) {
    if (underWay == SendPart::Nothing) return "nothing sent";
    if (underWay == SendPart::Done) return "everything sent";
    std::vector<std::string> parts;
    const auto sent = PartNames(SendPart::RackBase, underWay);
    if (!sent.empty()) parts.push_back(ListText(sent) + " sent");
    parts.push_back(PartNames(underWay, SendPart(int(underWay) + 1))[0] +
                    (IsPort(underWay) ? " partly" : " in doubt"));
    const auto notSent = PartNames(SendPart(int(underWay) + 1), SendPart::Done);
    if (!notSent.empty()) parts.push_back(ListText(notSent) + " not");
    std::string text;
    for (size_t i = 0; i < parts.size(); ++i) text += (i ? ", " : "") + parts[i];
    return text;
}

std::string SendInterruptedText(int portUnderWay) {
    if (portUnderWay < 1 || portUnderWay > 4) return "interrupted: nothing sent";
    return "interrupted: " + SendStandText(SendPart(int(SendPart::Port1) + portUnderWay - 1));
}

std::string SendFailedText(SendPart underWay, const std::string& step, const std::string& reason) {
    std::string place;
    if (IsPort(underWay))
        place = "Port " + std::to_string(PortOf(underWay)) +
                (step.empty() ? "" : ", " + StepPlace(step));
    else if (underWay == SendPart::RackBase || underWay == SendPart::PrintProgBaud)
        place = PartNames(underWay, SendPart(int(underWay) + 1))[0];
    else
        place = "the start";
    // Before the rack base nothing was written; with it alone in doubt the
    // module holds its old configuration, perhaps on a new rack base.
    const bool mixed = underWay > SendPart::RackBase;
    return "failed at " + place + " (" + reason + "): " + SendStandText(underWay) +
           (mixed ? "; the module holds a mix: send again" : "; send again");
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
