// Connecting with the "ATTEMPTING TO CONNECT" window: the line of the target,
// the reason for a failure on the status line, and the line settings applied
// to a link opened now or already open. Opening itself is link_opening.h's.
#include "forms/connect_link.h"

#include <cstdio>

#include "setup/link_kinds.h"
#include "setup/link_opening.h"
#include "setup/link_setup.h"
#include "setup/port_refresh.h"
#include "ui/boxes.h"
#include "ui/screen.h"
#include "ui/screen_hooks.h"
#include "ui/text_flags.h"

namespace {

// The error window keeps its fixed message; the system's reason goes to the
// status line, last, and stays in the screen the menu puts back until a link
// opens: it is the report, in place of the message an untrapped error leaves.
void ReportConnectFailure(SetupInForce& settings, const std::string& reason) {
    PutText(reason.c_str(), 25, 1, 80, ' ', tf::Alert);
    ShowError("Unable to establish link.");
    PutText(reason.c_str(), 25, 1, 80, ' ', tf::Alert);
    ForgetUntrappedError();
    settings.connectReasonShown = true;
}

LinkHandle OpenFromSetup(SetupInForce& settings, std::string* reason) {
    LinkSetup& setup = settings.CurrentSetup;
    LinkTarget target;
    if (!ResolveLinkTarget(setup, settings.ports, &target, reason)) return nullptr;
    if (!target.note.empty()) NoteOnStatusRow(target.note);
    // Cut to the window: a long host name must not spill over its frame.
    PutText(target.line.c_str(), 5, 3, 37, ' ', 0);
    return OpenLinkOn(setup, target.path, reason);
}

// A link whose device went away is given up, and opened again below by the
// same settings on the same port, found by its name in a list read afresh
// (the adapter may be back at another place in it). A port that is still
// missing is reported as such: opening whatever now stands at its old index
// would send to another device.
// The adapter the setup names is looked for again too: one plugged in since
// is found under whatever kernel name it has now.
LinkHandle OpenAgain(SetupInForce& settings, std::string* reason) {
    const LinkKindRow* kind = LinkKindOf(settings.CurrentSetup.ConnectionType);
    const bool serial = kind && kind->serial;
    const std::string gone = serial ? RefreshSetupPorts(settings) : "";
    if (!gone.empty()) {
        *reason = "Lost port " + gone + ": it is not there now (unplugged?)";
        return nullptr;
    }
    const std::string missing =
        serial ? FindSetupAdapters(settings.ports, settings.adapters, settings.CurrentSetup) : "";
    if (!missing.empty()) {
        *reason = AdapterMissingText(missing);
        return nullptr;
    }
    return OpenFromSetup(settings, reason);
}

}  // namespace

bool ConnectLink(SetupInForce& settings, LinkHandle& link) {
    WindowHandle window = OpenWindow(4, 1, 6, 40, "ATTEMPTING TO CONNECT");
    const LinkSetup& s = settings.CurrentSetup;
    if (link && LinkPortLost(link.get()))
        link.reset();
    else
        ReadSetupPortsIfEmpty(settings);
    if (!link) {
        std::string reason;
        link = OpenAgain(settings, &reason);
        if (!link) {
            ReportConnectFailure(settings, reason);
            CloseWindow(window);
            return false;
        }
        SetLinkIdleCallback(link.get(), ScreenHooksInForce().connectIdle, nullptr);
        if (settings.connectReasonShown) ClearToEndOfLine(25, 1);
        settings.connectReasonShown = false;
    }
    // A link that cannot take its settings is no connection: reported as a
    // failed one, and closed, so nobody is asked to save a setup that does
    // not work.
    if (!ApplyLinkSettings(link.get(), s)) {
        ReportConnectFailure(settings, LinkErrorText(link.get()));
        link.reset();
    }
    CloseWindow(window);
    return link != nullptr;
}
