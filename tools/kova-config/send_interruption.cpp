// The part of a send under way, from the port texts: "Port N" starts port N
// (so the rack base, written first, is done); the transfer clears the port
// before the Print/Prog baud rate and again at its end.
#include "send_interruption.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int kRackBase = 0, kPrintProgBaud = 5, kAllSent = 6;

std::string PortsText(int first, int last) {
    if (first == last) return "port " + std::to_string(first);
    return "ports " + std::to_string(first) + "-" + std::to_string(last);
}

// The parts first..last (inclusive) named as a list: "the rack base and
// ports 1-2".
std::string PartsText(int first, int last) {
    std::vector<std::string> names;
    if (first <= kRackBase && kRackBase <= last) names.push_back("the rack base");
    const int firstPort = std::max(first, 1), lastPort = std::min(last, 4);
    if (firstPort <= lastPort) names.push_back(PortsText(firstPort, lastPort));
    if (first <= kPrintProgBaud && kPrintProgBaud <= last)
        names.push_back("the Print/Prog baud rate");
    std::string text;
    for (size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    return text;
}

}  // namespace

std::string SendInterruptedText(int partUnderWay) {
    if (partUnderWay <= kRackBase) return "interrupted: nothing sent";
    if (partUnderWay >= kAllSent) return "interrupted: " + PartsText(0, kPrintProgBaud) + " sent";
    std::string text = "interrupted: " + PartsText(0, partUnderWay - 1) + " sent";
    int notFrom = partUnderWay;
    if (partUnderWay < kPrintProgBaud) {  // a port is written in many requests
        text += ", port " + std::to_string(partUnderWay) + " partly";
        ++notFrom;
    }
    return text + ", " + PartsText(notFrom, kPrintProgBaud) + " not";
}

SendInterruption::SendInterruption(ToolReporter& reporter, ProgressLine& progress)
    : reporter_(reporter), report_([this, &progress](int) {
          progress.Message("kova-config: " + SendInterruptedText(underWay_.load()));
      }) {
    reporter.WatchPorts([this](const std::string& port) { PortShown(port); });
}

void SendInterruption::PortShown(const std::string& port) {
    const int under = underWay_.load();
    if (port.rfind("Port ", 0) == 0) {
        underWay_ = std::stoi(port.substr(5));
    } else if (port.empty() && under >= 4) {
        // A failure clears the port too, but its send has ended by then.
        underWay_ = std::min(under + 1, kAllSent);
    }
}
