// The five encodings of the register map, applied to the field that each
// section kind names.
#include "transfer/section_codec.h"

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

void EncodeComms(const PortConfig& p, uint16_t* r) {
    const int16_t fields[5] = {p.BaudRate, p.DataBits, p.Parity, p.StopBits, p.Capitalize};
    for (int i = 0; i < 5; ++i) r[i] = static_cast<uint16_t>(fields[i]);
}

void DecodeComms(const uint16_t* r, PortConfig& p) {
    int16_t* fields[5] = {&p.BaudRate, &p.DataBits, &p.Parity, &p.StopBits, &p.Capitalize};
    for (int i = 0; i < 5; ++i) *fields[i] = static_cast<int16_t>(r[i]);
}

void EncodePathNumbers(const DataPath& path, uint16_t* r) {
    r[0] = static_cast<uint16_t>(path.StartRegister);
    r[1] = static_cast<uint16_t>(path.RegisterCount);
    r[2] = path.EditingMode;
    r[3] = path.Continue;
}

void DecodePathNumbers(const uint16_t* r, DataPath& path) {
    path.StartRegister = static_cast<int16_t>(r[0]);
    path.RegisterCount = static_cast<int16_t>(r[1]);
    path.EditingMode = static_cast<uint8_t>(r[2]);
    path.Continue = static_cast<uint8_t>(r[3]);
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
            EncodeComms(port, registers);
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
            EncodePathNumbers(port.Paths[s.index], registers);
            break;
        case Encoding::HighThenLow:
            SplitPollInterval(port.PollInterval, registers);
            break;
    }
}

void DecodeSection(const uint16_t* registers, const PortSection& s, PortConfig& port) {
    switch (s.encoding) {
        case Encoding::Numbers:
            DecodeComms(registers, port);
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
            DecodePathNumbers(registers, port.Paths[s.index]);
            break;
        case Encoding::HighThenLow:
            port.PollInterval = JoinPollInterval(registers);
            break;
    }
}
