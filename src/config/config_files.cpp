// A file that cannot be found or opened is told apart from one that opens but
// holds no known layout: the first lets the user name another file, the
// second ends the load.
#include "config/config_files.h"

LoadedConfigFile LoadConfigFile(const std::string& file) {
    auto path = FindEntryIgnoringCase(".", file);
    auto bytes = path ? ReadFilePrefix(*path, kConfigFileSize) : std::nullopt;
    if (!bytes) return {ConfigFileLoad::CannotOpen, {}};
    auto decoded = DecodeConfigFile(bytes->data(), bytes->size());
    if (!decoded) return {ConfigFileLoad::CannotRead, {}};
    return {ConfigFileLoad::Loaded, decoded->contents};
}

SaveResult SaveConfigFile(const std::string& target, const ConfigFileContents& document) {
    return SaveFileReplacing(target, EncodeConfigFile(document));
}
