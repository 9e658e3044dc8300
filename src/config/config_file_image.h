// The byte image of a configuration file: the current layout (version 1113)
// that is written, and the five layouts that are accepted when reading.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "config/module_config.h"

constexpr int16_t kConfigFileVersion = 1113;
constexpr size_t kConfigFileSize = 6688;

// The configuration document: everything a configuration file holds. A value:
// reading a file gives one, saving takes one, and nothing here keeps a copy.
struct ConfigFileContents {
    int16_t version = 0;  // 0 for the unversioned layouts
    EditPlus plus{};
    PortConfig ports[4]{};
    int16_t printProgBaud = 0;
    int16_t reserved = 0;
};

enum class ConfigLayout { V1113, V1112, V1111, UnversionedFull, UnversionedShort };

struct DecodedConfig {
    ConfigLayout layout;
    ConfigFileContents contents;
};

// The bytes a layout holds (6688 for the current one), and its name in
// messages ("version 1113", "unversioned short").
size_t LayoutSize(ConfigLayout layout);
const char* LayoutName(ConfigLayout layout);

// Tries the layouts newest first; bytes beyond a layout are ignored. Fields
// that a layout lacks come back as zero.
std::optional<DecodedConfig> DecodeConfigFile(const uint8_t* data, size_t size);
// A file that opens with one of the version words is read by that version's
// layout alone: the bytes that layout needs, or 0 for any other file.
size_t VersionedLayoutSize(const uint8_t* data, size_t size);
// The 6688-byte current layout; the version word is always 1113.
std::vector<uint8_t> EncodeConfigFile(const ConfigFileContents& contents);
// The bytes of any of the layouts, its version word included: what a file of
// that layout holding the contents is. Fields the layout lacks are left out.
std::vector<uint8_t> EncodeConfigFileAs(const ConfigFileContents& contents, ConfigLayout layout);

// The ports and PLUS values of a document as the record the editors and the
// transfers work on.
ModuleConfig ModuleConfigOf(const ConfigFileContents& document);
// A document of the current version holding config and the two words beside it.
ConfigFileContents DocumentOf(const ModuleConfig& config, int16_t printProgBaud, int16_t reserved);
