// Loading and saving the settings record from the screens: what a file that
// did not load means (the default set, the reason, the link form), the picker
// for another file and the offer to save. The startup file's name is made
// absolute at start: the file picker may change the current directory, and
// every save must still reach the file read at start.
#include "forms/setup_file_dialogs.h"

#include "config/typed_file_name.h"
#include "forms/connect_link.h"
#include "forms/link_forms.h"
#include "setup/link_kinds.h"
#include "setup/link_setup.h"
#include "setup/port_refresh.h"
#include "setup/setup_file.h"
#include "ui/boxes.h"
#include "ui/console/keys.h"
#include "ui/file_picker.h"
#include "ui/print_screen.h"
#include "ui/screen.h"

namespace {

constexpr char kCantLocate[] = "Can't locate setup file.";
constexpr char kCantRead[] = "Can't read setup file. Use SETUP to change it";

std::string BaseOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// A file that read becomes the setup in force, its ports found by the
// adapters it names in the list as it is now; the outcome says whether.
SetupFileRead ReadSetup(SetupInForce& settings, const std::string& path) {
    const SetupFileContents file = ReadSetupFile(path);
    if (file.outcome != SetupFileRead::Read) return file.outcome;
    settings.CurrentSetup = file.setup;
    settings.adapters = file.adapters;
    ReadSetupPortsIfEmpty(settings);
    FindSetupAdapters(settings.ports, settings.adapters, settings.CurrentSetup);
    return file.outcome;
}

// A file that did not load: the default set, the reason, then the link form.
LinkHandle FallBack(SetupInForce& settings, const char* message) {
    settings.CurrentSetup = DefaultSetupFor(BaseOf(settings.StartupSetupName));
    settings.adapters = {};
    ShowError(message);
    LinkHandle link;
    ConfigureLink(settings, link);
    return link;
}

// A serial link on a port of this computer's list (not a device server's).
bool UsesListedPort(const LinkSetup& setup) {
    const LinkKindRow* kind = LinkKindOf(setup.ConnectionType);
    return kind && kind->serial && setup.LinkPort != kNetworkLinkPort;
}

void BindPrintScreen() {
    RemoveHotKey(key::F1);  // a second binding would print again from inside the first
    AddHotKey(key::F1, PrintScreen);
}

}  // namespace

LinkHandle LoadStartupSetup(SetupInForce& settings, const std::string& name) {
    settings.StartupSetupName = AbsoluteSetupName(name);
    ReadSetupPorts(settings);
    settings.CurrentSetup = LinkSetup{};
    LinkHandle link;
    switch (ReadSetup(settings, settings.StartupSetupName)) {
        case SetupFileRead::Read:
            // Only a serial link names a port of the list; a TCP link must not
            // fail this test on a computer without serial ports. The adapter
            // it was saved with is named when it is not there.
            if (UsesListedPort(settings.CurrentSetup) &&
                !settings.ports.At(settings.CurrentSetup.LinkPort)) {
                if (settings.adapters.link.empty())
                    ShowError("The saved link is not in current choices.");
                else
                    ShowError(AdapterMissingText(settings.adapters.link, true).c_str());
                ConfigureLink(settings, link);
            } else {
                ConnectLink(settings, link);
            }
            break;
        case SetupFileRead::Short:
            link = FallBack(settings, kCantRead);
            break;
        case SetupFileRead::Missing:
            link = FallBack(settings, kCantLocate);
            break;
    }
    BindPrintScreen();
    return link;
}

void LoadSetupFromFile(SetupInForce& settings, LinkHandle& link) {
    WindowHandle window = OpenWindow(6, 38, 9, 63, "LOAD SETUP FROM FILE");
    PutText("New setup file to load", 7, 40, 0, ' ', 0);
    std::string name, entry;  // as typed, or a listed file's own name
    // The name field reaches to the window's right edge.
    if (!PickFile(8, 40, 23, "*.STP", &name, true, &entry)) {
        CloseWindow(window);
        return;
    }
    link.reset();
    const std::string chosen = entry.empty() ? ResolveTypedName(name, ".STP") : entry;
    switch (ReadSetup(settings, AbsoluteSetupName(chosen))) {
        case SetupFileRead::Read:
            ConnectLink(settings, link);
            break;
        case SetupFileRead::Short:
            link = FallBack(settings, kCantRead);
            break;
        case SetupFileRead::Missing:
            link = FallBack(settings, kCantLocate);
            break;
    }
    BindPrintScreen();
    CloseWindow(window);
}
