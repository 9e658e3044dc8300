// The field table of a configuration document and the generic access to a
// field through its place.
#include "config/config_fields.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "config/config_lists.h"

namespace {

using S = FieldScope;
using K = FieldKind;
using W = FieldWidth;
using R = SectionKind;

constexpr size_t kPorts = offsetof(ConfigFileContents, ports);
constexpr size_t kPlus = offsetof(ConfigFileContents, plus);
constexpr size_t kPaths = kPorts + offsetof(PortConfig, Paths);
constexpr uint16_t kPortSize = sizeof(PortConfig);
constexpr uint16_t kPathSize = sizeof(DataPath);
constexpr uint16_t kQuerySize = 65;

constexpr size_t OfPort(size_t member) { return kPorts + member; }
constexpr size_t OfPath(size_t member) { return kPaths + member; }
constexpr size_t OfPlus(size_t member) { return kPlus + member; }

// The texts as the text form writes them: the list's own, without padding.
const char* const kLayoutTexts[] = {"1113", "1112", "1111", "unversioned", "unversioned short",
                                    nullptr};

// clang-format off
// constexpr: built before any other file's statics read it.
constexpr ConfigField kFields[] = {
    // key, compared as, range name, scope, kind, width, offset, strides,
    // low, high, texts, layouts, PLUS only, not on path 4, section, word, register
    {"print_prog_baud", "Print/Prog baud rate", "Print/Prog baud rate", S::Module, K::List, W::S16,
     offsetof(ConfigFileContents, printProgBaud), 0, 0, 0, 3, kPrintProgBaudTexts,
     kEveryLayout, false, false, R::Comms, 0, kPrintProgBaudRegister},
    {"rack_base", "Rack base address", "Rack start address", S::Module, K::Number, W::S16,
     OfPlus(offsetof(EditPlus, RackBase)), 0, 0, 1, 8191, nullptr,
     kEveryLayout, false, false, R::Comms, 0, kRackBaseRegister},
    // The word after the PLUS values, kept as read.
    {"reserved", nullptr, "Reserved", S::Module, K::Number, W::S16,
     offsetof(ConfigFileContents, reserved), 0, 0, -32768, 32767, nullptr,
     LayoutBit(ConfigLayout::V1113), false, false, R::Comms, 0, -1},

    {"baud_rate", "Baud rate", "Baud rate", S::Port, K::List, W::S16,
     OfPort(offsetof(PortConfig, BaudRate)), kPortSize, 0, 0, 15, kPortBaudTexts,
     kEveryLayout, false, false, R::Comms, 0, 0},
    {"data_bits", "Data bits", "Data bits", S::Port, K::List, W::S16,
     OfPort(offsetof(PortConfig, DataBits)), kPortSize, 0, 0, 1, kDataBitsTexts,
     kEveryLayout, false, false, R::Comms, 1, 0},
    {"parity", "Parity", "Parity", S::Port, K::List, W::S16,
     OfPort(offsetof(PortConfig, Parity)), kPortSize, 0, 0, 2, kParityTexts,
     kEveryLayout, false, false, R::Comms, 2, 0},
    {"stop_bits", "Stop bits", "Stop bits", S::Port, K::List, W::S16,
     OfPort(offsetof(PortConfig, StopBits)), kPortSize, 0, 0, 1, kStopBitsTexts,
     kEveryLayout, false, false, R::Comms, 3, 0},
    {"capitalize", "Capitalize", "Capitalize", S::Port, K::List, W::S16,
     OfPort(offsetof(PortConfig, Capitalize)), kPortSize, 0, 0, 1, kNoYesTexts,
     kEveryLayout, false, false, R::Comms, 4, 0},
    {"terminate_count", "Terminate count", "Terminate Count", S::Port, K::Number, W::S16,
     OfPlus(offsetof(EditPlus, TerminateCount)), 2, 0, 0, 80, nullptr,
     kPlusLayouts, true, false, R::Comms, 0, TerminateCountRegister(1)},
    {"terminate_timeout", "Terminate timeout", "Terminate Timeout", S::Port, K::Number, W::S16,
     OfPlus(offsetof(EditPlus, TerminateTimeout)), 2, 0, 0, 9999, nullptr,
     kPlusLayouts, true, false, R::Comms, 0, TerminateTimeoutRegister(1)},
    {"accept", "Accept", "Accept", S::Port, K::CharSet, W::Set32,
     OfPort(offsetof(PortConfig, AcceptSet)), kPortSize, 0, 0, 0, nullptr,
     kEveryLayout, false, false, R::AcceptSet, 0, 0},
    {"terminate", "Terminate", "Terminate", S::Port, K::CharSet, W::Set32,
     OfPort(offsetof(PortConfig, TerminateSet)), kPortSize, 0, 0, 0, nullptr,
     kEveryLayout, false, false, R::TerminateSet, 0, 0},

    {"pattern", "Pattern", "Pattern", S::Path, K::Text, W::Text65,
     OfPath(offsetof(DataPath, Pattern)), kPortSize, kPathSize, 0, 64, nullptr,
     kEveryLayout, false, false, R::Pattern, 0, 0},
    {"mask", "Mask", "Mask", S::Path, K::Text, W::Text65,
     OfPath(offsetof(DataPath, Mask)), kPortSize, kPathSize, 0, 64, nullptr,
     kEveryLayout, false, false, R::Mask, 0, 0},
    {"start_register", "Start Register", "Start Register", S::Path, K::Number, W::S16,
     OfPath(offsetof(DataPath, StartRegister)), kPortSize, kPathSize, 1, 8192, nullptr,
     kEveryLayout, false, false, R::PathNumbers, 0, 0},
    {"register_count", "Register Count", "Register Count", S::Path, K::Number, W::S16,
     OfPath(offsetof(DataPath, RegisterCount)), kPortSize, kPathSize, 0, 64, nullptr,
     kEveryLayout, false, false, R::PathNumbers, 1, 0},
    {"editing_mode", "Editing Mode", "Editing Mode", S::Path, K::List, W::U8,
     OfPath(offsetof(DataPath, EditingMode)), kPortSize, kPathSize, 0, 7, kEditingModeTexts,
     kEveryLayout, false, false, R::PathNumbers, 2, 0},
    {"continue", "Continue", "Continue", S::Path, K::List, W::U8,
     OfPath(offsetof(DataPath, Continue)), kPortSize, kPathSize, 0, 1, kNoYesTexts,
     kEveryLayout, false, true, R::PathNumbers, 3, 0},

    // Six digits of seconds in the poll editor's interval field.
    {"poll_interval", "Poll Interval", "Poll interval", S::Port, K::Number, W::U32,
     OfPort(offsetof(PortConfig, PollInterval)), kPortSize, 0, 0, 99999900, nullptr,
     kPollLayouts, false, false, R::PollInterval, 0, 0},
    // A value of 0 is none; a register above the rack's window is a matter
    // of the rack base, checked by the validation.
    {"trigger_inhibit", "Trigger/Inhibit", "Trigger/Inhibit register", S::Port, K::Number, W::S16,
     OfPlus(offsetof(EditPlus, TriggerInhibit)), 2, 0, 0, 8191 + kRackWindow, nullptr,
     kPlusLayouts, true, false, R::Comms, 0, TriggerInhibitRegister(1)},
    {"poll_queries", "Query", "Query", S::Query, K::Text, W::Text65,
     OfPort(offsetof(PortConfig, PollQueries)), kPortSize, kQuerySize, 0, 64, nullptr,
     kPollLayouts, false, false, R::PollQuery, 0, 0},
    // The two bytes before the poll interval, kept as read.
    {"reserved", nullptr, "Reserved", S::Port, K::Number, W::U16,
     OfPort(offsetof(PortConfig, Reserved)), kPortSize, 0, 0, 65535, nullptr,
     kPollLayouts, false, false, R::Comms, 0, -1},
};
// clang-format on

}  // namespace

const char* const* ConfigLayoutTexts() { return kLayoutTexts; }

const ConfigField* ConfigFieldsBegin() { return std::begin(kFields); }
const ConfigField* ConfigFieldsEnd() { return std::end(kFields); }

const ConfigField* FindConfigField(FieldScope scope, const std::string& key) {
    for (const ConfigField& f : kFields)
        if (f.scope == scope && key == f.key) return &f;
    return nullptr;
}

const ConfigField& ConfigFieldNamed(FieldScope scope, const char* key) {
    const ConfigField* field = FindConfigField(scope, key);
    if (!field) {
        std::fprintf(stderr, "no configuration field %s\n", key);
        std::abort();
    }
    return *field;
}

long ClampedToField(const ConfigField& field, long value) {
    return std::clamp(value, field.low, field.high);
}

long NextInList(const ConfigField& field, long index) {
    const long next = index + 1;
    return next < 0 || next > field.high ? 0 : next;
}

int FieldItems(const ConfigField& field) {
    switch (field.scope) {
        case FieldScope::Path:
            return 4;
        case FieldScope::Query:
            return 16;
        default:
            return 1;
    }
}

uint8_t* FieldBytes(ConfigFileContents& c, const ConfigField& f, int port, int item) {
    return reinterpret_cast<uint8_t*>(&c) + f.offset + size_t(port) * f.portStride +
           size_t(item) * f.itemStride;
}

const uint8_t* FieldBytes(const ConfigFileContents& c, const ConfigField& f, int port, int item) {
    return FieldBytes(const_cast<ConfigFileContents&>(c), f, port, item);
}

namespace {

long ValueAt(const uint8_t* at, FieldWidth width) {
    switch (width) {
        case FieldWidth::S16: {
            int16_t v;
            std::memcpy(&v, at, 2);
            return v;
        }
        case FieldWidth::U16: {
            uint16_t v;
            std::memcpy(&v, at, 2);
            return v;
        }
        case FieldWidth::U8:
            return *at;
        case FieldWidth::U32: {
            uint32_t v;
            std::memcpy(&v, at, 4);
            return long(v);
        }
        default:
            return 0;
    }
}

// Stored as the field holds it: the low 16 or 8 bits of the value.
void PutValueAt(uint8_t* at, FieldWidth width, long value) {
    switch (width) {
        case FieldWidth::S16:
        case FieldWidth::U16: {
            const uint16_t v = uint16_t(value);
            std::memcpy(at, &v, 2);
            break;
        }
        case FieldWidth::U8:
            *at = uint8_t(value);
            break;
        case FieldWidth::U32: {
            const uint32_t v = uint32_t(value);
            std::memcpy(at, &v, 4);
            break;
        }
        default:
            break;
    }
}

}  // namespace

long FieldValue(const ConfigFileContents& c, const ConfigField& f, int port, int item) {
    return ValueAt(FieldBytes(c, f, port, item), f.width);
}

void SetFieldValue(ConfigFileContents& c, const ConfigField& f, int port, int item, long value) {
    PutValueAt(FieldBytes(c, f, port, item), f.width, value);
}

uint8_t* PortFieldBytes(PortConfig& port, const ConfigField& f, int item) {
    return reinterpret_cast<uint8_t*>(&port) + (f.offset - kPorts) + size_t(item) * f.itemStride;
}

long PortFieldValue(const PortConfig& port, const ConfigField& f, int item) {
    return ValueAt(PortFieldBytes(const_cast<PortConfig&>(port), f, item), f.width);
}

void SetPortFieldValue(PortConfig& port, const ConfigField& f, int item, long value) {
    PutValueAt(PortFieldBytes(port, f, item), f.width, value);
}

int ListLength(const ConfigField& field) {
    int n = 0;
    while (field.texts && field.texts[n]) ++n;
    return n;
}

std::string TrimmedText(const char* text) {
    std::string out = text;
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}
