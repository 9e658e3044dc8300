// Fuzz target: a configuration text, raw or a valid export (TOML or JSON)
// with bytes changed, is either refused with messages naming the file, or
// imported into a document that exports and imports again to the same bytes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "config/config_defaults.h"
#include "config/config_file_image.h"
#include "config/config_text.h"

namespace {

void Require(bool ok) {
    if (!ok) __builtin_trap();
}

const std::string& Export(TextFormat format) {
    static const std::array<std::string, 2> texts = [] {
        ModuleConfig config;
        FillDefaults(config);
        std::strcpy(config.Ports[1].PollQueries[0], "SI\r\n");
        const DecodedConfig d{ConfigLayout::V1112, DocumentOf(config, 2, 0)};
        return std::array<std::string, 2>{ExportConfigText(d, TextFormat::Toml),
                                          ExportConfigText(d, TextFormat::Json)};
    }();
    return texts[format == TextFormat::Json];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text;
    if (size > 0 && data[0] % 3 != 0) {
        // A valid text with bytes changed: the input gives places and bytes.
        text = Export(data[0] % 3 == 1 ? TextFormat::Toml : TextFormat::Json);
        // A few changes, so that many texts stay readable and reach the checks.
        for (size_t i = 1; i + 2 < size && i < 13; i += 3)
            text[(data[i] | data[i + 1] << 8) % text.size()] = char(data[i + 2]);
    } else {
        text.assign(reinterpret_cast<const char*>(data), size);
    }
    const ImportedConfig imported = ImportConfigText(text, "f", false);
    if (!imported.config) {
        Require(!imported.errors.empty());
        for (const std::string& e : imported.errors) Require(e.rfind("f", 0) == 0);
        return 0;
    }
    Require(imported.errors.empty());
    for (const PortConfig& port : imported.config->contents.ports) {
        for (const DataPath& path : port.Paths)
            Require(strnlen(path.Pattern, 65) <= 64 && strnlen(path.Mask, 65) <= 64);
        for (const auto& query : port.PollQueries) Require(strnlen(query, 65) <= 64);
    }
    const std::vector<uint8_t> bytes =
        EncodeConfigFileAs(imported.config->contents, imported.config->layout);
    for (TextFormat format : {TextFormat::Toml, TextFormat::Json}) {
        const ImportedConfig again =
            ImportConfigText(ExportConfigText(*imported.config, format), "f", true);
        Require(again.config.has_value());
        Require(EncodeConfigFileAs(again.config->contents, again.config->layout) == bytes);
    }
    return 0;
}

// Each input parses a whole text, some three times.
extern "C" int KovaFuzzReplayRounds() { return 1500; }
