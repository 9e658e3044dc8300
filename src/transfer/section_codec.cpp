// The five encodings of the register map, applied to the field that each
// section kind names.
#include "transfer/section_codec.h"

#include "config/config_fields.h"

namespace {

constexpr int kTextCharacters = 64;  // a pattern or mask travels as at most 64 characters

uint8_t* BytesOf(PortConfig& port, const PortSection& s) {
    switch (s.kind) {
        case SectionKind::AcceptSet:
            return port.AcceptSet;
        case SectionKind::TerminateSet:
            return port.TerminateSet;
        case SectionKind::Pattern:
            return reinterpret_cast<uint8_t*>(port.Paths[s.index].Pattern);
        case SectionKind::Mask:
            return reinterpret_cast<uint8_t*>(port.Paths[s.index].Mask);
        case SectionKind::PollQuery:
            return reinterpret_cast<uint8_t*>(port.PollQueries[s.index]);
        default:
            return nullptr;
    }
}

const uint8_t* BytesOf(const PortConfig& port, const PortSection& s) {
    return BytesOf(const_cast<PortConfig&>(port), s);
}

// The number fields of a section, each in its register as the field table
// places it: 16-bit fields as stored, bytes zero-extended; decoding keeps
// what the field can hold (a byte field the register's low byte).
bool HeldInSection(const ConfigField& f, SectionKind kind) {
    return f.moduleRegister == 0 && f.section == kind &&
           (f.kind == FieldKind::List || f.kind == FieldKind::Number);
}

void EncodeNumbers(const PortConfig& port, SectionKind kind, int item, uint16_t* r) {
    for (const ConfigField* f = ConfigFieldsBegin(); f != ConfigFieldsEnd(); ++f)
        if (HeldInSection(*f, kind))
            r[f->sectionWord] = static_cast<uint16_t>(PortFieldValue(port, *f, item));
}

void DecodeNumbers(const uint16_t* r, SectionKind kind, int item, PortConfig& port) {
    for (const ConfigField* f = ConfigFieldsBegin(); f != ConfigFieldsEnd(); ++f)
        if (HeldInSection(*f, kind)) SetPortFieldValue(port, *f, item, r[f->sectionWord]);
}

}  // namespace

void BytesToRegisters(const uint8_t* bytes, int registerCount, uint16_t* registers) {
    for (int i = 0; i < registerCount; ++i)
        registers[i] = static_cast<uint16_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
}

void RegistersToBytes(const uint16_t* registers, int registerCount, uint8_t* bytes) {
    for (int i = 0; i < registerCount; ++i) {
        bytes[2 * i] = static_cast<uint8_t>(registers[i] >> 8);
        bytes[2 * i + 1] = static_cast<uint8_t>(registers[i]);
    }
}

void SplitPollInterval(uint32_t interval, uint16_t registers[2]) {
    registers[0] = static_cast<uint16_t>(interval >> 16);
    registers[1] = static_cast<uint16_t>(interval);
}

uint32_t JoinPollInterval(const uint16_t registers[2]) {
    return uint32_t(registers[0]) << 16 | registers[1];
}

void EncodeSection(const PortConfig& port, const PortSection& s, uint16_t* registers) {
    switch (s.encoding) {
        case Encoding::Numbers:
            EncodeNumbers(port, SectionKind::Comms, 0, registers);
            break;
        case Encoding::BytePairs:
            BytesToRegisters(BytesOf(port, s), s.count, registers);
            break;
        case Encoding::TerminatedText:
            // The module always receives a terminated text: whatever the
            // field holds after 64 characters, the last register is 0.
            BytesToRegisters(BytesOf(port, s), kTextCharacters / 2, registers);
            registers[kTextCharacters / 2] = 0;
            break;
        case Encoding::PathNumbers:
            EncodeNumbers(port, SectionKind::PathNumbers, s.index, registers);
            break;
        case Encoding::HighThenLow:
            SplitPollInterval(port.PollInterval, registers);
            break;
    }
}

void DecodeSection(const uint16_t* registers, const PortSection& s, PortConfig& port) {
    switch (s.encoding) {
        case Encoding::Numbers:
            DecodeNumbers(registers, SectionKind::Comms, 0, port);
            break;
        case Encoding::BytePairs:
            // A poll query's 65th byte (its terminator) is not part of the
            // section and stays as it was.
            RegistersToBytes(registers, s.count, BytesOf(port, s));
            break;
        case Encoding::TerminatedText: {
            // The 65th byte would come from the high half of the last
            // register, which a send always writes as 0; it is kept 0 so that
            // no module content can leave the text without its end.
            uint8_t* text = BytesOf(port, s);
            RegistersToBytes(registers, kTextCharacters / 2, text);
            text[kTextCharacters] = 0;
            break;
        }
        case Encoding::PathNumbers:
            DecodeNumbers(registers, SectionKind::PathNumbers, s.index, port);
            break;
        case Encoding::HighThenLow:
            port.PollInterval = JoinPollInterval(registers);
            break;
    }
}
