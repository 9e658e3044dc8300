// A configuration text where a command takes a .KOV file: told apart by its
// content, not its name.
#include <cerrno>
#include <cstring>

#include "commands.h"
#include "config/config_files.h"
#include "config/config_text.h"

namespace {

constexpr size_t kMaxTextBytes = 1 << 20;

bool ValidUtf8(const std::vector<uint8_t>& bytes) {
    for (size_t i = 0; i < bytes.size();) {
        const uint8_t lead = bytes[i];
        const size_t extra = lead < 0x80                   ? 0
                             : lead >= 0xC2 && lead < 0xE0 ? 1
                             : lead >= 0xE0 && lead < 0xF0 ? 2
                             : lead >= 0xF0 && lead < 0xF5 ? 3
                                                           : 9;
        if (extra == 9 || i + extra >= bytes.size() + (extra ? 0 : 1)) return false;
        for (size_t k = 1; k <= extra; ++k)
            if ((bytes[i + k] & 0xC0) != 0x80) return false;
        i += 1 + extra;
    }
    return true;
}

// A .KOV file opens with a version word or holds zero bytes (the terminators
// of its texts, the high bytes of its small numbers); a damaged one holds
// bytes that are no UTF-8. A text is UTF-8 without zero bytes.
bool LooksLikeText(const std::vector<uint8_t>& bytes) {
    return !bytes.empty() && VersionedLayoutSize(bytes.data(), bytes.size()) == 0 &&
           std::memchr(bytes.data(), 0, bytes.size()) == nullptr && ValidUtf8(bytes);
}

}  // namespace

bool HoldsConfigText(const std::string& path) {
    const auto bytes = ReadKeptFilePrefix(ResolvePath(path), kMaxTextBytes);
    return bytes && LooksLikeText(*bytes);
}

bool LoadConfigText(const std::string& path, DecodedConfig* out,
                    std::vector<std::string>* messages) {
    messages->clear();
    const auto bytes = ReadKeptFilePrefix(ResolvePath(path), kMaxTextBytes + 1);
    if (!bytes) {
        messages->push_back("Can't open file \"" + path + "\" for read. (" + std::strerror(errno) +
                            ")");
        return false;
    }
    if (bytes->size() > kMaxTextBytes) {
        messages->push_back(path + ": more than 1 MiB, no configuration");
        return false;
    }
    ImportedConfig imported = ImportConfigText(
        std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), path, false);
    if (!imported.config) {
        *messages = std::move(imported.errors);
        return false;
    }
    *messages = std::move(imported.notes);
    *out = *imported.config;
    return true;
}
