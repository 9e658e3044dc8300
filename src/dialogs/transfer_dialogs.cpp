// The send and fetch dialogs: a window asking for the ports, then the
// transfer with its progress on row 1. "A" moves the whole module.
#include "dialogs/transfer_dialogs.h"

#include "dialogs/screen_reporter.h"
#include "editors/validation_reports.h"
#include "transfer/module_transfer.h"
#include "ui/console/keys.h"
#include "ui/fields.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

namespace {

// The first field also ends on "A" (either case): all ports.
constexpr char kFirstFieldExits[] = {'A', 'a', char(key::Enter), char(key::Esc), 0};
constexpr char kSecondFieldExits[] = {char(key::Enter), char(key::Esc), 0};

struct DialogLayout {
    int right;  // the window's right column
    const char* title;
    const char* firstPrompt;
    int firstPromptCol;
    const char* secondPrompt;
    int secondPromptCol;
    int fieldCol;
};

constexpr DialogLayout kSendLayout = {
    58, "OFFLINE TO KOVA", "Send which offline memory port", 23, "to which KOVA port", 34, 54};
constexpr DialogLayout kFetchLayout = {
    56, "KOVA TO OFFLINE", "Fetch which KOVA port", 29, "to which offline memory port", 23, 52};

WindowHandle OpenDialog(const DialogLayout& d) {
    WindowHandle window = OpenWindow(10, 20, 14, d.right, d.title);
    PutText(d.firstPrompt, 11, d.firstPromptCol, 0, ' ', tf::Normal);
    PutText(d.secondPrompt, 12, d.secondPromptCol, 0, ' ', tf::Normal);
    PutText("Type A for all ports.", 13, 22, 0, ' ', tf::Normal);
    PutText("A", 13, 27, 0, ' ', tf::Highlight);
    return window;
}

bool IsAll(int k) { return k == 'A' || k == 'a'; }

// The ports the user chose: all of them ("A"), or the two numbers as typed (an
// empty field reads as 0, which the transfer then refuses). False on Esc.
bool AskPorts(const DialogLayout& d, int16_t& first, int16_t& second, bool& all) {
    first = 0;
    const int k = EditNumber(first, 11, d.fieldCol, 1, '?', kFirstFieldExits, 0);
    PutText("", 13, 22, 21, ' ', tf::Normal);
    if (k == key::Esc) return false;
    all = IsAll(k);
    if (all) {
        PutText("ALL", 11, d.fieldCol, 0, ' ', tf::Highlight);
        PutText("ALL", 12, d.fieldCol, 0, ' ', tf::Highlight);
        return true;
    }
    second = first;
    return EditNumber(second, 12, d.fieldCol, 1, '?', kSecondFieldExits,
                      tf::StartWithText | tf::ReplaceOld) != key::Esc;
}

}  // namespace

int SendDialog(ModuleSession& module, ConfigDocuments& documents, LinkSetup& setup) {
    ModuleConfig& config = documents.WorkingConfig;
    ValidatePorts(config, 0, 3);
    WindowHandle window = OpenDialog(kSendLayout);
    int16_t memoryPort = 0, modulePort = 0;
    bool all = false;
    if (AskPorts(kSendLayout, memoryPort, modulePort, all)) {
        ScreenReporter reporter;
        SessionReports reports(module, reporter);
        if (all)
            SendAllPorts(module, config, documents.PrintProgBaud, setup);
        else
            SendOnePort(module, config, memoryPort, modulePort, documents.PrintProgBaud, setup);
        ClearTransferStatus();
    }
    CloseWindow(window);
    return 1;
}

int FetchDialog(ModuleSession& module, ConfigDocuments& documents) {
    ModuleConfig& config = documents.WorkingConfig;
    WindowHandle window = OpenDialog(kFetchLayout);
    int16_t modulePort = 0, memoryPort = 0;
    bool all = false;
    if (AskPorts(kFetchLayout, modulePort, memoryPort, all)) {
        ScreenReporter reporter;
        SessionReports reports(module, reporter);
        if (all)
            FetchAllPorts(module, config, documents.PrintProgBaud);
        else
            FetchOnePort(module, config, modulePort, memoryPort, documents.PrintProgBaud);
        ClearTransferStatus();
    }
    CloseWindow(window);
    return 1;
}
