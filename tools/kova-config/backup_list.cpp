// Backup list lines: split at blanks, a word that begins with # ends the line.
#include "backup_list.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <map>

#include "config/disk_file.h"

namespace {

// A list is a short text file; anything much larger is not one.
constexpr size_t kMaxListBytes = 1 << 20;

std::vector<std::string> WordsOf(const std::string& line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        if (i == line.size() || line[i] == '#') break;
        size_t end = i;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r')
            ++end;
        words.push_back(line.substr(i, end - i));
        i = end;
    }
    return words;
}

// The folder a list's relative names are taken from: the list's own, so that
// a list and its setup files move together and a service (whose current
// folder is /) finds them.
std::string FolderOf(const std::string& listName) {
    const size_t slash = listName.rfind('/');
    if (slash == std::string::npos) return "";
    return listName.substr(0, slash + 1);
}

bool ParseLine(const std::vector<std::string>& words, const std::string& folder,
               BackupEntry* entry, std::string* error) {
    if (!IsModuleName(words[0])) {
        *error = "\"" + words[0] + "\" is not a module name (letters, digits, - _ . )";
        return false;
    }
    entry->name = words[0];
    const auto rows = LinkSourceRows();
    for (size_t i = 1; i < words.size(); ++i) {
        if (words[i].size() < 2 || words[i][0] != '-') {
            *error = "\"" + words[i] + "\" is not an option";
            return false;
        }
        if (!tools::ApplyOption(tools::OptionTable<LinkSource>(rows), words, &i, entry->source,
                                error))
            return false;
    }
    std::string& setup = entry->source.setupFile;
    if (!setup.empty() && setup[0] != '/') setup = folder + setup;
    return LinkSourceComplete(entry->source, error);
}

}  // namespace

// Names become file names: a plain word, never a path or an option.
bool IsModuleName(const std::string& name) {
    if (name.empty() || name.size() > 64 || name[0] == '.' || name[0] == '-') return false;
    for (unsigned char c : name)
        if (!std::isalnum(c) && c != '-' && c != '_' && c != '.') return false;
    return true;
}

bool ParseBackupList(const std::string& listName, const std::string& text,
                     std::vector<BackupEntry>* entries, std::vector<std::string>* errors) {
    std::map<std::string, int> firstLineOf;  // names compared as the file system may: any case
    size_t start = 0;
    for (int number = 1; start < text.size(); ++number) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::vector<std::string> words = WordsOf(text.substr(start, end - start));
        start = end + 1;
        if (words.empty()) continue;
        const std::string at = listName + ":" + std::to_string(number) + ": ";
        BackupEntry entry;
        entry.line = number;
        std::string error;
        if (!ParseLine(words, FolderOf(listName), &entry, &error)) {
            errors->push_back(at + error);
            continue;
        }
        std::string folded = entry.name;
        for (char& c : folded) c = char(std::tolower(static_cast<unsigned char>(c)));
        auto [it, fresh] = firstLineOf.emplace(folded, number);
        if (!fresh) {
            errors->push_back(at + "the name " + entry.name + " is taken by line " +
                              std::to_string(it->second));
            continue;
        }
        entries->push_back(std::move(entry));
    }
    if (errors->empty() && entries->empty()) errors->push_back(listName + ": no modules listed");
    return errors->empty();
}

bool ReadBackupList(const std::string& path, std::vector<BackupEntry>* entries,
                    std::vector<std::string>* errors) {
    auto bytes = ReadFilePrefix(path, kMaxListBytes + 1);
    if (!bytes) {
        errors->push_back(path + ": cannot read the list (" + std::strerror(errno) + ")");
        return false;
    }
    if (bytes->size() > kMaxListBytes) {
        errors->push_back(path + ": too large for a module list");
        return false;
    }
    return ParseBackupList(path, std::string(bytes->begin(), bytes->end()), entries, errors);
}
