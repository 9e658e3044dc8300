// Names are matched whatever their case: setup files come from other
// installations whose file systems did not tell "SETUP.STP" from "setup.stp".
#include "setup/setup_file.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

namespace {

constexpr char kAdaptersHeading[] = "KOVASW-ADAPTERS\n";
constexpr size_t kLongestAdapter = 255;
// The heading and two lines of the longest names, with room to spare.
constexpr size_t kAdaptersRoom = 1024;

// A device path as a line holds it: printable ASCII, no line end.
bool PlainName(const std::string& name) {
    if (name.size() > kLongestAdapter) return false;
    for (char c : name)
        if (c < 0x21 || c > 0x7E) return false;
    return true;
}

}  // namespace

std::vector<uint8_t> EncodeSetupAdapters(const SetupAdapters& adapters) {
    if (adapters.link.empty() && adapters.terminal.empty()) return {};
    std::string text = kAdaptersHeading;
    if (PlainName(adapters.link) && !adapters.link.empty()) text += "link=" + adapters.link + "\n";
    if (PlainName(adapters.terminal) && !adapters.terminal.empty())
        text += "terminal=" + adapters.terminal + "\n";
    return std::vector<uint8_t>(text.begin(), text.end());
}

SetupAdapters DecodeSetupAdapters(const uint8_t* bytes, size_t size) {
    SetupAdapters adapters;
    const std::string text(reinterpret_cast<const char*>(bytes), std::min(size, kAdaptersRoom));
    const std::string heading = kAdaptersHeading;
    if (text.compare(0, heading.size(), heading) != 0) return adapters;
    for (size_t start = heading.size(), end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1) {
        const std::string line = text.substr(start, end - start);
        const size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals), name = line.substr(equals + 1);
        if (!PlainName(name)) continue;
        if (key == "link") adapters.link = name;
        if (key == "terminal") adapters.terminal = name;
    }
    return adapters;
}

std::string AbsoluteSetupName(const std::string& name) {
    if (!name.empty() && name.front() == '/') return name;
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) return name;
    return std::string(cwd) + "/" + name;
}

SetupFileContents ReadSetupFile(const std::string& path) {
    SetupFileContents read;
    auto bytes = ReadKeptFilePrefix(ResolvePath(path), kSetupFileSize + kAdaptersRoom);
    if (!bytes) {
        read.error = errno;
        return read;
    }
    read.size = std::min(bytes->size(), kSetupFileSize);
    read.outcome = SetupFileRead::Short;
    auto setup = DecodeSetup(bytes->data(), bytes->size());
    if (!setup) return read;
    read.setup = *setup;
    if (!SetupBaudsInList(*setup)) return read;
    read.outcome = SetupFileRead::Read;
    read.adapters =
        DecodeSetupAdapters(bytes->data() + kSetupFileSize, bytes->size() - kSetupFileSize);
    return read;
}

SaveResult SaveSetupFile(const std::string& path, const LinkSetup& setup,
                         const SetupAdapters& adapters) {
    std::vector<uint8_t> bytes = EncodeSetup(setup);
    const std::vector<uint8_t> lines = EncodeSetupAdapters(adapters);
    bytes.insert(bytes.end(), lines.begin(), lines.end());
    return SaveFileReplacing(ResolvePath(path), bytes);
}
