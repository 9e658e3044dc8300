// A file that cannot be found or opened is told apart from one that opens but
// holds no known layout: the first lets the user name another file, the
// second ends the load.
#include "config/config_files.h"

#include <cerrno>

LoadedConfigFile LoadConfigFile(const std::string& file) {
    LoadedConfigFile loaded;
    // One byte more than any layout, so that a longer file is told from one
    // of exactly its layout's size; the loads ignore the bytes beyond.
    auto bytes = ReadKeptFilePrefix(ResolvePath(file), kConfigFileSize + 1);
    if (!bytes) {
        loaded.error = errno;
        return loaded;
    }
    auto decoded = DecodeConfigFile(bytes->data(), bytes->size());
    if (!decoded) {
        loaded.outcome = ConfigFileLoad::CannotRead;
        loaded.bytes = std::move(*bytes);
        return loaded;
    }
    loaded.outcome = ConfigFileLoad::Loaded;
    loaded.contents = decoded->contents;
    loaded.layout = decoded->layout;
    loaded.size = bytes->size();
    return loaded;
}

SaveResult SaveConfigFile(const std::string& target, const ConfigFileContents& document,
                          AtLink atLink) {
    return SaveFileReplacing(target, EncodeConfigFile(document), atLink);
}
