// export and import: a configuration as text for review and version control,
// and the text made into a .KOV file again, checked in full before anything
// is written.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "commands.h"
#include "common/printable.h"
#include "config/config_check.h"
#include "config/config_files.h"
#include "config/config_text.h"

namespace {

// A text larger than this is no configuration (a whole one is about 20 KiB).
constexpr size_t kMaxTextBytes = 1 << 20;

int Refused(const std::string& message) {
    std::fprintf(stderr, "kova-config: %s\n", tools::Printable(message).c_str());
    return kExitTrouble;
}

// A file exactly as it holds it, with its layout; a module's configuration
// in the current layout.
bool ExportSource(const std::string& operand, const ConfigOptions& options, DecodedConfig* out,
                  int* exitCode) {
    if (operand != kModuleOperand && HoldsConfigText(operand)) {
        // A text again, in the other format or checked and written anew.
        std::vector<std::string> messages;
        const bool loaded = LoadConfigText(operand, out, &messages);
        for (const std::string& m : messages) Refused(m);
        *exitCode = kExitTrouble;
        return loaded;
    }
    if (operand != kModuleOperand) {
        const LoadedConfigFile loaded = LoadConfigFile(operand);
        if (loaded.outcome == ConfigFileLoad::Loaded) {
            const std::string size = FileSizeProblem(loaded.layout, loaded.size);
            if (!size.empty())
                std::fprintf(stderr, "kova-config: %s: warning: %s; the text holds the layout\n",
                             tools::Printable(operand).c_str(), size.c_str());
            *out = DecodedConfig{loaded.layout, loaded.contents};
            return true;
        }
    }
    ConfigSnapshot snapshot;
    std::string error;
    // The file's reason, or the module's (already on standard error).
    if (!LoadOperand(operand, options, &snapshot, &error, false)) {
        if (operand != kModuleOperand) Refused(error);
        *exitCode = operand == kModuleOperand ? kExitFailed : kExitTrouble;
        return false;
    }
    *out = DecodedConfig{ConfigLayout::V1113, snapshot.contents};
    return true;
}

int WriteText(const std::string& text) {
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (std::fflush(stdout) != 0 || !written) {
        std::perror("kova-config: standard output");
        return kExitTrouble;
    }
    return kExitOk;
}

}  // namespace

int RunExport(const ConfigOptions& options) {
    std::string error;
    const bool toFile = options.operands.size() == 2;
    // Refused before a link is opened.
    if (toFile && !MayWriteKovFile(options.operands[1], options.force, &error))
        return Refused(error);
    DecodedConfig config;
    int exitCode = kExitOk;
    if (!ExportSource(options.operands[0], options, &config, &exitCode)) return exitCode;
    const std::string text =
        ExportConfigText(config, options.textJson ? TextFormat::Json : TextFormat::Toml);
    if (!toFile) return WriteText(text);
    if (!SaveRefusingLinks(options.operands[1], std::vector<uint8_t>(text.begin(), text.end()),
                           &error))
        return Refused(error);
    return kExitOk;
}

int RunImport(const ConfigOptions& options) {
    const std::string& textPath = options.operands[0];
    const std::string& target = options.operands[1];
    std::string error;
    if (!MayWriteKovFile(target, options.force, &error)) return Refused(error);
    const auto bytes = ReadKeptFilePrefix(ResolvePath(textPath), kMaxTextBytes + 1);
    if (!bytes)
        return Refused("Can't open file \"" + textPath + "\" for read. (" + std::strerror(errno) +
                       ")");
    if (bytes->size() > kMaxTextBytes)
        return Refused(textPath + ": more than 1 MiB, no configuration");
    const ImportedConfig imported = ImportConfigText(
        std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), textPath,
        options.strict);
    for (const std::string& note : imported.notes)
        std::fprintf(stderr, "kova-config: %s\n", tools::Printable(note).c_str());
    for (const std::string& e : imported.errors)
        std::fprintf(stderr, "kova-config: %s\n", tools::Printable(e).c_str());
    if (!imported.config) {
        std::fprintf(stderr, "kova-config: %s: nothing written\n",
                     tools::Printable(target).c_str());
        return kExitTrouble;
    }
    if (!SaveRefusingLinks(
            target, EncodeConfigFileAs(imported.config->contents, imported.config->layout), &error))
        return Refused(error);
    return kExitOk;
}
