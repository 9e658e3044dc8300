// The section operations: each encodes through the section table and moves
// the registers in one request.
#include "transfer/section_transfer.h"

#include <cstdio>

#include "config/config_ranges.h"
#include "transfer/module_registers.h"
#include "transfer/section_codec.h"

namespace {

// Ports, paths and queries come from callers, not from the module; a number
// outside its range is still refused rather than read past a table.
bool InRange(TransferReporter& reporter, int value, int last, const char* what) {
    if (value >= 1 && value <= last) return true;
    char text[48];
    snprintf(text, sizeof text, "%s %d out of range.", what, value);
    reporter.Error(text);
    return false;
}

bool PortInRange(TransferReporter& reporter, int modulePort) {
    return InRange(reporter, modulePort, kModulePorts, "Module port");
}

bool PortsInRange(TransferReporter& reporter, int memoryPort, int modulePort) {
    return InRange(reporter, memoryPort, kModulePorts, "Memory port") &&
           PortInRange(reporter, modulePort);
}

const PortSection& CharSetSection(CharSetKind which) {
    return which == CharSetKind::Accept ? AcceptSetSection() : TerminateSetSection();
}

std::optional<std::string> SectionOutOfRange(const PortConfig& port, int modulePort,
                                             const PortSection& section) {
    switch (section.kind) {
        case SectionKind::Comms:
            return CommsOutOfRange(port, modulePort);
        case SectionKind::PathNumbers:
            return PathOutOfRange(port.Paths[section.index % 4], modulePort, section.index + 1);
        case SectionKind::PollInterval:
            return PollIntervalOutOfRange(port, modulePort);
        default:
            return std::nullopt;  // character sets and texts: any byte is a value
    }
}

int SendWord(Link* link, TransferReporter& reporter, int reg, int16_t value) {
    const uint16_t word = static_cast<uint16_t>(value);
    return WriteModuleRegisters(link, reporter, reg, 1, &word);
}

int FetchWord(Link* link, TransferReporter& reporter, int reg, int16_t& value) {
    uint16_t word;
    if (!ReadModuleRegisters(link, reporter, reg, 1, &word)) return 0;
    value = static_cast<int16_t>(word);
    return 1;
}

}  // namespace

int SendSection(Link* link, TransferReporter& reporter, const PortConfig& port, int modulePort,
                const PortSection& section) {
    if (!PortInRange(reporter, modulePort)) return 0;
    if (Refused(reporter, SectionOutOfRange(port, modulePort, section))) return 0;
    uint16_t registers[kMaxSectionRegisters];
    EncodeSection(port, section, registers);
    return WriteModuleRegisters(link, reporter, SectionRegister(modulePort, section), section.count,
                                registers);
}

int FetchSection(Link* link, TransferReporter& reporter, PortConfig& port, int modulePort,
                 const PortSection& section) {
    if (!PortInRange(reporter, modulePort)) return 0;
    uint16_t registers[kMaxSectionRegisters];
    if (!ReadModuleRegisters(link, reporter, SectionRegister(modulePort, section), section.count,
                             registers))
        return 0;
    DecodeSection(registers, section, port);
    return 1;
}

int SendComms(Link* link, TransferReporter& reporter, const PortConfig& port, int modulePort) {
    return SendSection(link, reporter, port, modulePort, CommsSection());
}

int FetchComms(Link* link, TransferReporter& reporter, PortConfig& port, int modulePort) {
    return FetchSection(link, reporter, port, modulePort, CommsSection());
}

int SendCharSet(Link* link, TransferReporter& reporter, const PortConfig& port, int modulePort,
                CharSetKind which) {
    return SendSection(link, reporter, port, modulePort, CharSetSection(which));
}

int FetchCharSet(Link* link, TransferReporter& reporter, PortConfig& port, int modulePort,
                 CharSetKind which) {
    return FetchSection(link, reporter, port, modulePort, CharSetSection(which));
}

int SendPath(Link* link, TransferReporter& reporter, const PortConfig& port, int modulePort,
             int path) {
    if (!InRange(reporter, path, 4, "Path")) return 0;
    const int k = path - 1;
    return SendSection(link, reporter, port, modulePort, PatternSection(k)) &&
           SendSection(link, reporter, port, modulePort, MaskSection(k)) &&
           SendSection(link, reporter, port, modulePort, PathNumbersSection(k));
}

int FetchPath(Link* link, TransferReporter& reporter, PortConfig& port, int modulePort, int path) {
    if (!InRange(reporter, path, 4, "Path") || !PortInRange(reporter, modulePort)) return 0;
    const PortSection& pattern = PatternSection(path - 1);
    const PortSection& mask = MaskSection(path - 1);
    uint16_t patternRegisters[kMaxSectionRegisters], maskRegisters[kMaxSectionRegisters];
    // Pattern and mask land together or not at all.
    if (!ReadModuleRegisters(link, reporter, SectionRegister(modulePort, pattern), pattern.count,
                             patternRegisters) ||
        !ReadModuleRegisters(link, reporter, SectionRegister(modulePort, mask), mask.count,
                             maskRegisters))
        return 0;
    DecodeSection(patternRegisters, pattern, port);
    DecodeSection(maskRegisters, mask, port);
    return FetchSection(link, reporter, port, modulePort, PathNumbersSection(path - 1));
}

int SendPoll(Link* link, TransferReporter& reporter, PortConfig& port, int modulePort, int query,
             bool withInterval) {
    if (!InRange(reporter, query, 16, "Poll query")) return 0;
    port.PollQueries[query - 1][64] = 0;
    return (!withInterval ||
            SendSection(link, reporter, port, modulePort, PollIntervalSection())) &&
           SendSection(link, reporter, port, modulePort, PollQuerySection(query - 1));
}

int FetchPoll(Link* link, TransferReporter& reporter, PortConfig& port, int modulePort, int query,
              bool withInterval) {
    if (!InRange(reporter, query, 16, "Poll query")) return 0;
    return (!withInterval ||
            FetchSection(link, reporter, port, modulePort, PollIntervalSection())) &&
           FetchSection(link, reporter, port, modulePort, PollQuerySection(query - 1));
}

int SendRackBase(Link* link, TransferReporter& reporter, const EditPlus& plus) {
    if (Refused(reporter, RackBaseOutOfRange(plus))) return 0;
    return SendWord(link, reporter, kRackBaseRegister, plus.RackBase);
}

int FetchRackBase(Link* link, TransferReporter& reporter, EditPlus& plus) {
    return FetchWord(link, reporter, kRackBaseRegister, plus.RackBase);
}

int FetchPrintProgBaud(Link* link, TransferReporter& reporter, int16_t& printProgBaud) {
    return FetchWord(link, reporter, kPrintProgBaudRegister, printProgBaud);
}

int SendTerminateCount(Link* link, TransferReporter& reporter, const EditPlus& plus, int memoryPort,
                       int modulePort) {
    if (!PortsInRange(reporter, memoryPort, modulePort)) return 0;
    if (Refused(reporter, TerminateCountOutOfRange(plus, memoryPort))) return 0;
    return SendWord(link, reporter, TerminateCountRegister(modulePort),
                    plus.TerminateCount[memoryPort - 1]);
}

int SendTerminateTimeout(Link* link, TransferReporter& reporter, const EditPlus& plus,
                         int memoryPort, int modulePort) {
    if (!PortsInRange(reporter, memoryPort, modulePort)) return 0;
    if (Refused(reporter, TerminateTimeoutOutOfRange(plus, memoryPort))) return 0;
    return SendWord(link, reporter, TerminateTimeoutRegister(modulePort),
                    plus.TerminateTimeout[memoryPort - 1]);
}

int SendTriggerInhibit(Link* link, TransferReporter& reporter, const EditPlus& plus, int memoryPort,
                       int modulePort) {
    if (!PortsInRange(reporter, memoryPort, modulePort)) return 0;
    if (Refused(reporter, TriggerInhibitOutOfRange(plus, memoryPort))) return 0;
    return SendWord(link, reporter, TriggerInhibitRegister(modulePort),
                    plus.TriggerInhibit[memoryPort - 1]);
}

int SendPlusValues(Link* link, TransferReporter& reporter, const EditPlus& plus, int memoryPort,
                   int modulePort) {
    return SendTerminateCount(link, reporter, plus, memoryPort, modulePort) &&
           SendTerminateTimeout(link, reporter, plus, memoryPort, modulePort) &&
           SendTriggerInhibit(link, reporter, plus, memoryPort, modulePort);
}

int FetchPlusValues(Link* link, TransferReporter& reporter, EditPlus& plus, int memoryPort,
                    int modulePort) {
    if (!PortsInRange(reporter, memoryPort, modulePort)) return 0;
    const int m = memoryPort - 1;
    return FetchWord(link, reporter, TerminateCountRegister(modulePort), plus.TerminateCount[m]) &&
           FetchWord(link, reporter, TerminateTimeoutRegister(modulePort),
                     plus.TerminateTimeout[m]) &&
           FetchWord(link, reporter, TriggerInhibitRegister(modulePort), plus.TriggerInhibit[m]);
}
