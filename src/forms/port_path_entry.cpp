// The line for a port's path, and the port it leads to.
#include "forms/port_path_entry.h"

#include "setup/port_refresh.h"
#include "ui/boxes.h"
#include "ui/console/keys.h"
#include "ui/edit_text.h"
#include "ui/screen.h"

namespace {
constexpr int kPathRow = 20, kPathWidth = 76;
}  // namespace

void TypePortPath(int16_t& port, const SerialPortList& ports) {
    WindowHandle window = OpenWindow(kPathRow - 1, 1, kPathRow + 1, 80, "PORT DEVICE PATH");
    char path[kPathWidth + 1] = {kPortPathKey, 0};
    const char exits[] = {char(key::Enter), char(key::Esc), 0};
    const int k = EditText(path, kPathRow, 3, kPathWidth, ' ', kPathCharacters, exits,
                           tf::StartWithText | tf::Highlight);
    CloseWindow(window);
    if (k != key::Enter) return;
    const int index = ports.IndexOfDevice(path);
    if (index < 0) {
        ShowError(AdapterMissingText(path, true).c_str());
        return;
    }
    port = int16_t(index);
}
