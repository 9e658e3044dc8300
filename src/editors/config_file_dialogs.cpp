// Configuration file dialogs. Names come from the picker as typed, or as the
// directory entry of a listed file; config/typed_file_name.h finds the file
// a typed name stands for.
#include "editors/config_file_dialogs.h"

#include <unistd.h>

#include <string>
#include <vector>

#include "config/config_files.h"
#include "config/load_refusal.h"
#include "config/typed_file_name.h"
#include "config/validate.h"
#include "editors/validation_reports.h"
#include "ui/boxes.h"
#include "ui/console/keys.h"
#include "ui/fields.h"
#include "ui/file_picker.h"
#include "ui/name_on_screen.h"
#include "ui/screen.h"

namespace {

constexpr char kExtension[] = ".KOV";
constexpr char kPattern[] = "*.KOV";
// Name fields reach to the right edge of their windows.
constexpr int kFieldWidth = 36;
constexpr int kDeleteFieldWidth = 22;
constexpr char kEnterEsc[] = {char(key::Enter), char(key::Esc), 0};

// Picks a name with a field of width places; false on Esc. A typed name
// gets the extension when it has none and stands for the file of that name
// (in another case only where there is none in its own); a listed file is its
// own directory entry.
bool PickName(int row, int col, int width, const char* pattern, const char* extension, bool dirs,
              std::string& file) {
    std::string name, entry;
    if (!PickFile(row, col, width, pattern, &name, dirs, &entry)) return false;
    file = entry.empty() ? ResolveTypedName(name, extension) : entry;
    return true;
}

enum class Outcome { Retry, Done, Failed };

Outcome ReadNamed(const std::string& file, ConfigDocuments& documents) {
    const LoadedConfigFile loaded = LoadConfigFile(file);
    switch (loaded.outcome) {
        case ConfigFileLoad::CannotOpen:
            ShowErrorF("Can't open file \"%s\" for read.", NameOnScreen(file).c_str());
            return Outcome::Retry;
        case ConfigFileLoad::CannotRead:
            ShowError("Can't read disk file.");
            return Outcome::Failed;
        case ConfigFileLoad::Loaded:
            break;
    }
    // Checked before it replaces anything: a refused file leaves the
    // configuration on hand as it was.
    ModuleConfig config = ModuleConfigOf(loaded.contents);
    std::vector<std::string> reports;
    ValidatePortsOf(config, 0, 3, [&reports](const std::string& r) { reports.push_back(r); });
    if (auto refusal = LoadRefusal(config, loaded.contents.printProgBaud)) {
        ShowErrorWithReason("Can't read disk file.", *refusal);
        return Outcome::Failed;
    }
    documents.WorkingConfig = config;
    documents.PrintProgBaud = loaded.contents.printProgBaud;
    documents.ConfigReserved = loaded.contents.reserved;
    ShowReportsTogether(reports);
    return Outcome::Done;
}

Outcome WriteNamed(const std::string& file, const ConfigDocuments& documents) {
    auto existing = FindEntryIgnoringCase(".", file);
    if (existing && !ConfirmBox("File exists, overwrite it?")) return Outcome::Retry;
    const ConfigFileContents document =
        DocumentOf(documents.WorkingConfig, documents.PrintProgBaud, documents.ConfigReserved);
    switch (SaveConfigFile(existing.value_or(file), document)) {
        case SaveResult::Saved:
            return Outcome::Done;
        case SaveResult::CannotOpen:
            ShowErrorF("Can't open file \"%s\" for write.", NameOnScreen(file).c_str());
            return Outcome::Retry;
        case SaveResult::ShortWrite:
            break;
    }
    ShowError("Can't write to disk file.");
    return Outcome::Failed;
}

void DrawCopyPrompts() {
    PutText("Copy which offline port", 11, 26, 0, ' ', 0);
    PutText("to which other offline port", 12, 22, 0, ' ', 0);
}

void CopyPort(ModuleConfig& config, int from, int to) {
    config.Ports[to] = config.Ports[from];
    EditPlus& plus = config.Plus;
    plus.TriggerInhibit[to] = plus.TriggerInhibit[from];
    plus.TerminateCount[to] = plus.TerminateCount[from];
    plus.TerminateTimeout[to] = plus.TerminateTimeout[from];
}

}  // namespace

int ReadConfigFile(ConfigDocuments& documents) {
    WindowHandle window = OpenWindow(10, 20, 13, 58, "LOAD OFFLINE FROM DISK");
    PutText("File to read:", 11, 22, 0, ' ', 0);
    Outcome outcome = Outcome::Retry;
    std::string file;
    while (outcome == Outcome::Retry) {
        if (!PickName(12, 22, kFieldWidth, kPattern, kExtension, false, file)) break;
        outcome = ReadNamed(file, documents);
    }
    CloseWindow(window);
    if (outcome != Outcome::Done) return 0;
    documents.OfflineDirty = false;
    return 1;
}

int WriteConfigFile(ConfigDocuments& documents) {
    WindowHandle window = OpenWindow(10, 20, 13, 58, "SAVE OFFLINE TO DISK");
    PutText("File to write:", 11, 22, 0, ' ', 0);
    Outcome outcome = Outcome::Retry;
    std::string file;
    while (outcome == Outcome::Retry) {
        if (!PickName(12, 22, kFieldWidth, kPattern, kExtension, false, file)) break;
        outcome = WriteNamed(file, documents);
    }
    CloseWindow(window);
    // Only a configuration that reached the disk counts as written: after a
    // failed write the quit question must still come.
    if (outcome != Outcome::Done) return 0;
    documents.OfflineDirty = false;
    return 1;
}

int CopyPortConfig(ModuleConfig& config) {
    WindowHandle window = OpenWindow(10, 20, 14, 52, "COPY PORT CONFIGURATION");
    DrawCopyPrompts();
    for (;;) {
        int16_t from = 0, to = 0;
        // The digits of the pair before are not part of the next one.
        PutText("", 11, 50, 1, ' ', 0);
        PutText("", 12, 50, 1, ' ', 0);
        if (EditNumber(from, 11, 50, 1, '?', kEnterEsc, 0) == key::Esc) break;
        if (EditNumber(to, 12, 50, 1, '?', kEnterEsc, 0) == key::Esc) break;
        if (from < 1 || from > 4 || to < 1 || to > 4) break;
        CopyPort(config, from - 1, to - 1);
        PutText("Type Esc to exit", 13, 22, 0, ' ', 0);
        DrawCopyPrompts();
    }
    CloseWindow(window);
    return 1;
}

int DeleteConfigFile(const char* extension, const char* title) {
    WindowHandle window = OpenWindow(10, 20, 12, 60, title);
    PutText("File to delete:", 11, 22, 0, ' ', 0);
    const std::string pattern = std::string("*") + extension;
    std::string file;
    while (PickName(11, 38, kDeleteFieldWidth, pattern.c_str(), extension, true, file)) {
        auto existing = FindEntryIgnoringCase(".", file);
        if (!existing)
            ShowErrorF("Can't find file \"%s\"", NameOnScreen(file).c_str());
        else if (::unlink(existing->c_str()) != 0)
            ShowErrorF("Can't delete file \"%s\"", NameOnScreen(file).c_str());
    }
    CloseWindow(window);
    return 1;
}
