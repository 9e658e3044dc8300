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

int SendWord(ModuleSession& session, int reg, int16_t value) {
    const uint16_t word = static_cast<uint16_t>(value);
    return WriteModuleRegisters(session.link, session.Reports(), reg, 1, &word);
}

int FetchWord(ModuleSession& session, int reg, int16_t& value) {
    uint16_t word;
    if (!ReadModuleRegisters(session.link, session.Reports(), reg, 1, &word)) return 0;
    value = static_cast<int16_t>(word);
    return 1;
}

}  // namespace

int SendSection(ModuleSession& session, const PortConfig& port, int modulePort,
                const PortSection& section) {
    if (!PortInRange(session.Reports(), modulePort)) return 0;
    if (Refused(session.Reports(), SectionOutOfRange(port, modulePort, section))) return 0;
    uint16_t registers[kMaxSectionRegisters];
    EncodeSection(port, section, registers);
    return WriteModuleRegisters(session.link, session.Reports(),
                                SectionRegister(modulePort, section), section.count, registers);
}

int FetchSection(ModuleSession& session, PortConfig& port, int modulePort,
                 const PortSection& section) {
    if (!PortInRange(session.Reports(), modulePort)) return 0;
    uint16_t registers[kMaxSectionRegisters];
    if (!ReadModuleRegisters(session.link, session.Reports(), SectionRegister(modulePort, section),
                             section.count, registers))
        return 0;
    DecodeSection(registers, section, port);
    return 1;
}

int SendComms(ModuleSession& session, const PortConfig& port, int modulePort) {
    return SendSection(session, port, modulePort, CommsSection());
}

int FetchComms(ModuleSession& session, PortConfig& port, int modulePort) {
    return FetchSection(session, port, modulePort, CommsSection());
}

int SendCharSet(ModuleSession& session, const PortConfig& port, int modulePort, CharSetKind which) {
    return SendSection(session, port, modulePort, CharSetSection(which));
}

int FetchCharSet(ModuleSession& session, PortConfig& port, int modulePort, CharSetKind which) {
    return FetchSection(session, port, modulePort, CharSetSection(which));
}

int SendPath(ModuleSession& session, const PortConfig& port, int modulePort, int path) {
    if (!InRange(session.Reports(), path, 4, "Path")) return 0;
    const int k = path - 1;
    return SendSection(session, port, modulePort, PatternSection(k)) &&
           SendSection(session, port, modulePort, MaskSection(k)) &&
           SendSection(session, port, modulePort, PathNumbersSection(k));
}

int FetchPath(ModuleSession& session, PortConfig& port, int modulePort, int path) {
    if (!InRange(session.Reports(), path, 4, "Path") || !PortInRange(session.Reports(), modulePort))
        return 0;
    const PortSection& pattern = PatternSection(path - 1);
    const PortSection& mask = MaskSection(path - 1);
    uint16_t patternRegisters[kMaxSectionRegisters], maskRegisters[kMaxSectionRegisters];
    // Pattern and mask land together or not at all.
    if (!ReadModuleRegisters(session.link, session.Reports(), SectionRegister(modulePort, pattern),
                             pattern.count, patternRegisters) ||
        !ReadModuleRegisters(session.link, session.Reports(), SectionRegister(modulePort, mask),
                             mask.count, maskRegisters))
        return 0;
    DecodeSection(patternRegisters, pattern, port);
    DecodeSection(maskRegisters, mask, port);
    return FetchSection(session, port, modulePort, PathNumbersSection(path - 1));
}

int SendPoll(ModuleSession& session, PortConfig& port, int modulePort, int query,
             bool withInterval) {
    if (!InRange(session.Reports(), query, 16, "Poll query")) return 0;
    port.PollQueries[query - 1][64] = 0;
    return (!withInterval || SendSection(session, port, modulePort, PollIntervalSection())) &&
           SendSection(session, port, modulePort, PollQuerySection(query - 1));
}

int FetchPoll(ModuleSession& session, PortConfig& port, int modulePort, int query,
              bool withInterval) {
    if (!InRange(session.Reports(), query, 16, "Poll query")) return 0;
    return (!withInterval || FetchSection(session, port, modulePort, PollIntervalSection())) &&
           FetchSection(session, port, modulePort, PollQuerySection(query - 1));
}

int SendRackBase(ModuleSession& session, const EditPlus& plus) {
    if (Refused(session.Reports(), RackBaseOutOfRange(plus))) return 0;
    return SendWord(session, kRackBaseRegister, plus.RackBase);
}

int FetchRackBase(ModuleSession& session, EditPlus& plus) {
    return FetchWord(session, kRackBaseRegister, plus.RackBase);
}

int FetchPrintProgBaud(ModuleSession& session, int16_t& printProgBaud) {
    return FetchWord(session, kPrintProgBaudRegister, printProgBaud);
}

int SendTerminateCount(ModuleSession& session, const EditPlus& plus, int memoryPort,
                       int modulePort) {
    if (!PortsInRange(session.Reports(), memoryPort, modulePort)) return 0;
    if (Refused(session.Reports(), TerminateCountOutOfRange(plus, memoryPort))) return 0;
    return SendWord(session, TerminateCountRegister(modulePort),
                    plus.TerminateCount[memoryPort - 1]);
}

int SendTerminateTimeout(ModuleSession& session, const EditPlus& plus, int memoryPort,
                         int modulePort) {
    if (!PortsInRange(session.Reports(), memoryPort, modulePort)) return 0;
    if (Refused(session.Reports(), TerminateTimeoutOutOfRange(plus, memoryPort))) return 0;
    return SendWord(session, TerminateTimeoutRegister(modulePort),
                    plus.TerminateTimeout[memoryPort - 1]);
}

int SendTriggerInhibit(ModuleSession& session, const EditPlus& plus, int memoryPort,
                       int modulePort) {
    if (!PortsInRange(session.Reports(), memoryPort, modulePort)) return 0;
    if (Refused(session.Reports(), TriggerInhibitOutOfRange(plus, memoryPort))) return 0;
    return SendWord(session, TriggerInhibitRegister(modulePort),
                    plus.TriggerInhibit[memoryPort - 1]);
}

int SendPlusValues(ModuleSession& session, const EditPlus& plus, int memoryPort, int modulePort) {
    return SendTerminateCount(session, plus, memoryPort, modulePort) &&
           SendTerminateTimeout(session, plus, memoryPort, modulePort) &&
           SendTriggerInhibit(session, plus, memoryPort, modulePort);
}

int FetchPlusValues(ModuleSession& session, EditPlus& plus, int memoryPort, int modulePort) {
    if (!PortsInRange(session.Reports(), memoryPort, modulePort)) return 0;
    const int m = memoryPort - 1;
    return FetchWord(session, TerminateCountRegister(modulePort), plus.TerminateCount[m]) &&
           FetchWord(session, TerminateTimeoutRegister(modulePort), plus.TerminateTimeout[m]) &&
           FetchWord(session, TriggerInhibitRegister(modulePort), plus.TriggerInhibit[m]);
}
