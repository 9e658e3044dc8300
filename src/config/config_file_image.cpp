// Layout tables of the configuration file. Each layout is a list of fields in
// file order; one generic walker reads or writes any of them, so the byte
// order of a layout is stated exactly once.
#include "config/config_file_image.h"

#include <cstring>
#include <initializer_list>

namespace {

enum class Field {
    Version,
    Ports,       // four whole PortConfig records
    ShortPorts,  // the first 618 bytes of each port, as the oldest files hold them
    RackBase,
    PrintProgBaud,
    TriggerInhibit,
    TerminateCount,
    TerminateTimeout,
    Reserved,
};

constexpr size_t kShortPortBytes = offsetof(PortConfig, PollQueries);
static_assert(kShortPortBytes == 618);

struct Layout {
    ConfigLayout id;
    int16_t version;  // 0: no version word
    std::initializer_list<Field> fields;
};

const Layout kLayouts[] = {
    {ConfigLayout::V1113,
     1113,
     {Field::Version, Field::Ports, Field::RackBase, Field::PrintProgBaud, Field::TriggerInhibit,
      Field::TerminateCount, Field::TerminateTimeout, Field::Reserved}},
    {ConfigLayout::V1112,
     1112,
     {Field::Version, Field::Ports, Field::RackBase, Field::PrintProgBaud, Field::TriggerInhibit,
      Field::TerminateCount, Field::TerminateTimeout}},
    {ConfigLayout::V1111,
     1111,
     {Field::Version, Field::Ports, Field::RackBase, Field::PrintProgBaud}},
    {ConfigLayout::UnversionedFull, 0, {Field::Ports, Field::RackBase, Field::PrintProgBaud}},
    {ConfigLayout::UnversionedShort, 0, {Field::ShortPorts, Field::RackBase, Field::PrintProgBaud}},
};

// A byte range of the contents; ShortPorts is four separate ranges.
struct Span {
    void* at;
    size_t size;
};

void SpansOf(Field field, ConfigFileContents& c, std::vector<Span>& out) {
    switch (field) {
        case Field::Version:
            out.push_back({&c.version, 2});
            break;
        case Field::Ports:
            out.push_back({c.ports, sizeof c.ports});
            break;
        case Field::ShortPorts:
            for (auto& port : c.ports) out.push_back({&port, kShortPortBytes});
            break;
        case Field::RackBase:
            out.push_back({&c.plus.RackBase, 2});
            break;
        case Field::PrintProgBaud:
            out.push_back({&c.printProgBaud, 2});
            break;
        case Field::TriggerInhibit:
            out.push_back({c.plus.TriggerInhibit, 8});
            break;
        case Field::TerminateCount:
            out.push_back({c.plus.TerminateCount, 8});
            break;
        case Field::TerminateTimeout:
            out.push_back({c.plus.TerminateTimeout, 8});
            break;
        case Field::Reserved:
            out.push_back({&c.reserved, 2});
            break;
    }
}

std::vector<Span> SpansOf(const Layout& layout, ConfigFileContents& c) {
    std::vector<Span> spans;
    for (Field f : layout.fields) SpansOf(f, c, spans);
    return spans;
}

// The records are the little-endian image (asserted in module_config.h), so
// each field is a plain byte copy.
bool TryLayout(const Layout& layout, const uint8_t* data, size_t size, ConfigFileContents& c) {
    c = ConfigFileContents{};
    size_t offset = 0;
    for (const Span& span : SpansOf(layout, c)) {
        if (size - offset < span.size) return false;
        std::memcpy(span.at, data + offset, span.size);
        offset += span.size;
    }
    return c.version == layout.version;
}

// The version word a file opens with, when it is one of ours. No older file
// opens with such a word (its first word is port 1's baud rate index), so a
// file that does is read by that version's layout or not at all: a truncated
// current file must not pass for an unversioned one, every field two bytes
// off.
int16_t VersionWordOf(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    int16_t word;
    std::memcpy(&word, data, 2);
    for (const Layout& layout : kLayouts)
        if (layout.version != 0 && layout.version == word) return word;
    return 0;
}

}  // namespace

size_t LayoutSize(ConfigLayout id) {
    for (const Layout& layout : kLayouts) {
        if (layout.id != id) continue;
        ConfigFileContents c;
        size_t total = 0;
        for (const Span& span : SpansOf(layout, c)) total += span.size;
        return total;
    }
    return 0;
}

const char* LayoutName(ConfigLayout id) {
    switch (id) {
        case ConfigLayout::V1113:
            return "version 1113";
        case ConfigLayout::V1112:
            return "version 1112";
        case ConfigLayout::V1111:
            return "version 1111";
        case ConfigLayout::UnversionedFull:
            return "unversioned";
        case ConfigLayout::UnversionedShort:
            return "unversioned short";
    }
    return "unknown";
}

size_t VersionedLayoutSize(const uint8_t* data, size_t size) {
    const int16_t version = VersionWordOf(data, size);
    for (const Layout& layout : kLayouts)
        if (version != 0 && layout.version == version) return LayoutSize(layout.id);
    return 0;
}

std::optional<DecodedConfig> DecodeConfigFile(const uint8_t* data, size_t size) {
    DecodedConfig decoded;
    const int16_t version = VersionWordOf(data, size);
    for (const Layout& layout : kLayouts) {
        if (version != 0 && layout.version != version) continue;
        if (TryLayout(layout, data, size, decoded.contents)) {
            decoded.layout = layout.id;
            return decoded;
        }
    }
    return std::nullopt;
}

std::vector<uint8_t> EncodeConfigFile(const ConfigFileContents& contents) {
    return EncodeConfigFileAs(contents, ConfigLayout::V1113);
}

std::vector<uint8_t> EncodeConfigFileAs(const ConfigFileContents& contents, ConfigLayout id) {
    for (const Layout& layout : kLayouts) {
        if (layout.id != id) continue;
        ConfigFileContents c = contents;
        c.version = layout.version;
        std::vector<uint8_t> out;
        out.reserve(kConfigFileSize);
        for (const Span& span : SpansOf(layout, c)) {
            const auto* bytes = static_cast<const uint8_t*>(span.at);
            out.insert(out.end(), bytes, bytes + span.size);
        }
        return out;
    }
    return {};
}

ModuleConfig ModuleConfigOf(const ConfigFileContents& document) {
    ModuleConfig config;
    config.Plus = document.plus;
    std::memcpy(config.Ports, document.ports, sizeof config.Ports);
    return config;
}

ConfigFileContents DocumentOf(const ModuleConfig& config, int16_t printProgBaud, int16_t reserved) {
    ConfigFileContents c;
    c.version = kConfigFileVersion;
    c.plus = config.Plus;
    std::memcpy(c.ports, config.Ports, sizeof c.ports);
    c.printProgBaud = printProgBaud;
    c.reserved = reserved;
    return c;
}
