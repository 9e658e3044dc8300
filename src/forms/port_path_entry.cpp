// The line for a port's path, and the port it leads to.
#include "forms/port_path_entry.h"

#include <cstring>
#include <optional>
#include <string>

#include "setup/port_refresh.h"
#include "ui/boxes.h"
#include "ui/console/keys.h"
#include "ui/edit_text.h"
#include "ui/screen.h"

namespace {

constexpr int kPathRow = 20, kPathWidth = 76;

// The line as typed; nothing on Esc.
std::optional<std::string> EnterPath(const char* title, const std::string& shownFirst) {
    WindowHandle window = OpenWindow(kPathRow - 1, 1, kPathRow + 1, 80, title);
    char path[kPathWidth + 1] = {};
    std::strncpy(path, shownFirst.c_str(), kPathWidth);
    const char exits[] = {char(key::Enter), char(key::Esc), 0};
    const int k = EditText(path, kPathRow, 3, kPathWidth, ' ', kPathCharacters, exits,
                           tf::StartWithText | tf::Highlight);
    CloseWindow(window);
    if (k != key::Enter) return std::nullopt;
    return std::string(path);
}

void TakeListedPort(int16_t& port, const SerialPortList& ports, const std::string& path) {
    const int index = ports.IndexOfDevice(path);
    if (index < 0) {
        ShowError(AdapterMissingText(path, true).c_str());
        return;
    }
    port = int16_t(index);
}

}  // namespace

void TypePortPath(int16_t& port, const SerialPortList& ports) {
    auto path = EnterPath("PORT DEVICE PATH", std::string(1, kPortPathKey));
    if (!path) return;
    if (path->rfind("/tcp:", 0) == 0) path->erase(0, 1);
    // A device server is reached by the link's kinds, not by the terminal.
    if (IsNetworkPortName(*path)) {
        ShowError("The terminal takes a port of this computer only");
        return;
    }
    TakeListedPort(port, ports, *path);
}

TypedLinkPort TypeLinkPortPath(int16_t& port, const SerialPortList& ports,
                               const std::string& shownFirst) {
    auto path = EnterPath("PORT DEVICE PATH, OR tcp:HOST:PORT OF A DEVICE SERVER", shownFirst);
    if (!path) return {};
    // The line starts with the "/" of a path: a network port typed after it
    // is taken as it was meant.
    if (path->rfind("/tcp:", 0) == 0) path->erase(0, 1);
    if (!IsNetworkPortName(*path)) {
        TakeListedPort(port, ports, *path);
        return {};
    }
    std::string wrong;
    const auto where = ParseNetworkPortName(*path, &wrong);
    if (!where) {
        ShowError(("Port " + *path + ": " + wrong).c_str());
        return {};
    }
    return {true, *where};
}
